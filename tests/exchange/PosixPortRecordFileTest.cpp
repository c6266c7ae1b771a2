#include "exchange/PortRecord.h"
#include "exchange/PortRecordFolder.h"
#include "tests/support/FileText.h"
#include "tests/support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace kronax {
namespace {

namespace fs = std::filesystem;

// The guard holds across runs only when every spelling of one server's port finds one record.
TEST(PortRecordFile, OneServerPortIsOneRecordWhateverItsUrlSpells) {
    test::ScopedRecordFolder folder;
    const struct {
        const char* one;
        const char* other;
        bool same;
    } cases[] = {
        {"socket://127.0.0.1:4001", "socket://localhost:4001", true},
        {"rfc2217://localhost:4001", "tcp://[::1]:4001", true},
        {"socket://LOCALHOST:4001", "socket://[::ffff:127.0.0.1]:4001", true},
        {"socket://localhost:4001", "socket://127.0.0.2:4001", false},
        {"socket://127.0.0.1:4001", "socket://127.0.0.1:4002", false},
        {"socket://localhost:4001", "socket://192.0.2.7:4001", false},
    };
    for (const auto& c : cases) {
        const auto one = PortRecordFile(c.one), other = PortRecordFile(c.other);
        ASSERT_TRUE(one && other) << c.one;
        EXPECT_EQ(*one == *other, c.same) << c.one << " " << c.other;
    }
}

// What lies where a record belongs is read only when it is a plain file; nothing there is
// followed, waited for or read whole.
TEST(PortRecordFile, OnlyAPlainFileIsReadAndNothingElseIsFollowedOrWaitedFor) {
    const std::string port = "socket://127.0.0.1:4001";
    const PendingAnswer pending{"##SMSTA\r", 1700000000000};
    const struct {
        const char* what;
        void (*make)(const fs::path& file, const fs::path& target);
        bool kept;
    } cases[] = {
        {"a FIFO", [](const fs::path& file, const fs::path&) { mkfifo(file.c_str(), 0600); },
         false},
        {"a link",
         [](const fs::path& file, const fs::path& target) { fs::create_symlink(target, file); },
         false},
        {"a sparse 2 GB file",
         [](const fs::path& file, const fs::path&) {
             std::ofstream(file).put('x');
             fs::resize_file(file, std::uintmax_t{2} << 30);
         },
         true},
        {"junk", [](const fs::path& file, const fs::path&) { std::ofstream(file) << "junk"; },
         true},
    };
    for (const auto& c : cases) {
        test::ScopedRecordFolder folder;
        const fs::path file = *PortRecordFile(port);
        const fs::path target = file.parent_path() / "target";
        std::ofstream(target) << "target";
        c.make(file, target);
        auto record = SystemPortRecords().Open(port);
        EXPECT_EQ(record != nullptr, c.kept) << c.what;
        if (record) {
            EXPECT_EQ(record->Read(), std::nullopt) << c.what;
            record->Write(pending);
            EXPECT_EQ(record->Read(), pending) << c.what;
            EXPECT_LE(fs::file_size(file), MaxRecordFileBytes) << c.what;
        }
        EXPECT_EQ(test::ReadFileText(target.string()), "target") << c.what;
    }
}

} // namespace
} // namespace kronax
