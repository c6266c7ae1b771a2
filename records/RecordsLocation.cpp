#include "records/RecordsLocation.h"

#include "records/RecordStore.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kronax::records {
namespace {

constexpr const char* StoreName = "records.sqlite3";

const char* NonEmpty(const EnvironmentLookup& environment, const char* name) {
    const char* value = environment(name);
    return value && *value ? value : nullptr;
}

[[noreturn]] void RaiseUnopenable(const std::string& what, int error) {
    throw ERecordStore(StoreFailure::Unopenable, what + ": " + std::strerror(error));
}

} // namespace

std::optional<std::filesystem::path> PosixRecordsFile(const EnvironmentLookup& environment) {
    if (const char* file = NonEmpty(environment, "KRONAX_RECORDS"))
        return std::filesystem::path(file);
    if (const char* data = NonEmpty(environment, "XDG_DATA_HOME"))
        return std::filesystem::path(data) / "kronax" / StoreName;
    if (const char* home = NonEmpty(environment, "HOME"))
        return std::filesystem::path(home) / ".local" / "share" / "kronax" / StoreName;
    return std::nullopt;
}

std::optional<std::filesystem::path> WindowsRecordsFile(const EnvironmentLookup& environment) {
    if (const char* file = NonEmpty(environment, "KRONAX_RECORDS"))
        return std::filesystem::path(file);
    if (const char* local = NonEmpty(environment, "LOCALAPPDATA"))
        return std::filesystem::path(local) / "kronax" / StoreName;
    return std::nullopt;
}

std::optional<std::filesystem::path> RecordsFile() {
    return PosixRecordsFile([](const char* name) { return std::getenv(name); });
}

void PrepareRecordsFile(const std::filesystem::path& file) {
    const std::filesystem::path folder = file.parent_path();
    if (!folder.empty()) {
        // Parents a user lacks are made as usual; the store's own folder is private.
        std::error_code error;
        std::filesystem::create_directories(folder.parent_path(), error);
        if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
            RaiseUnopenable("cannot make the record store's folder " + folder.string(), errno);
    }
    const int descriptor = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0)
        RaiseUnopenable("cannot open the record store " + file.string(), errno);
    close(descriptor);
}

} // namespace kronax::records
