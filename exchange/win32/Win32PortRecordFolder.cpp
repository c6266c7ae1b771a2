#include "exchange/PortRecordFolder.h"
#include "link/PortName.h"

#include <cstdlib>
#include <fstream>

namespace kronax {

// The local application data folder belongs to the user alone. The name must not begin with the
// port's: Windows takes "COM1.pending", like any "COM1" followed by an extension, for the device.
std::optional<std::filesystem::path> PortRecordFile(const std::string& port) {
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    if (!ComPortNumber(port) || local == nullptr || *local == L'\0')
        return std::nullopt;
    const std::filesystem::path folder = std::filesystem::path(local) / "kronax";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return std::nullopt;
    return folder / ("port-" + port + ".pending");
}

namespace {

class StreamRecordFile : public IRecordFile {
public:
    explicit StreamRecordFile(const std::filesystem::path& file)
        : file_(file, std::ios::binary | std::ios::in | std::ios::out) {}

    bool IsOpen() const { return file_.is_open(); }

    std::string Text() override {
        file_.clear();
        file_.seekg(0);
        std::string text(MaxRecordFileBytes, '\0');
        file_.read(text.data(), static_cast<std::streamsize>(text.size()));
        text.resize(static_cast<std::size_t>(file_.gcount()));
        return text;
    }

    void Put(const std::string& text) override {
        file_.clear();
        file_.seekp(0);
        file_.write(text.data(), static_cast<std::streamsize>(text.size()));
        file_.flush();
    }

private:
    std::fstream file_;
};

} // namespace

std::unique_ptr<IRecordFile> OpenRecordFile(const std::string& port) {
    const auto file = PortRecordFile(port);
    if (!file)
        return nullptr;
    std::error_code error;
    const auto status = std::filesystem::symlink_status(*file, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        return nullptr;
    const bool tooLong = std::filesystem::exists(status) &&
                         std::filesystem::file_size(*file, error) > MaxRecordFileBytes;
    // Made when missing (and emptied when too long to be a record), kept as it is otherwise.
    std::ofstream(*file, std::ios::binary | (tooLong ? std::ios::trunc : std::ios::app));
    auto record = std::make_unique<StreamRecordFile>(*file);
    if (!record->IsOpen())
        return nullptr;
    return record;
}

} // namespace kronax
