#include "config_file/SettingsLocation.h"

#include "config_file/IniEntryStore.h"
#include "config_file/RememberedPort.h"
#include "tests/support/ScopedTempFile.h"

#include <gtest/gtest.h>

#include <map>

namespace kronax {
namespace {
namespace fs = std::filesystem;

EnvironmentLookup EnvironmentOf(const std::map<std::string, std::string>& variables) {
    return [variables](const char* name) -> const char* {
        const auto found = variables.find(name);
        return found == variables.end() ? nullptr : found->second.c_str();
    };
}

TEST(UserSettingsFolderTest, XdgThenHomeOnPosixAppDataOnWindowsAndEmptyCountsAsUnset) {
    const struct {
        std::map<std::string, std::string> variables;
        std::optional<fs::path> posix;
        std::optional<fs::path> windows;
    } cases[] = {
        {{{"XDG_CONFIG_HOME", "/x/conf"}, {"HOME", "/home/op"}}, fs::path("/x/conf/kronax"), {}},
        {{{"XDG_CONFIG_HOME", ""}, {"HOME", "/home/op"}}, fs::path("/home/op/.config/kronax"), {}},
        {{{"HOME", "/home/op"}}, fs::path("/home/op/.config/kronax"), {}},
        {{{"HOME", ""}}, {}, {}},
        {{{"APPDATA", "C:/Users/op/AppData/Roaming"}},
         {},
         fs::path("C:/Users/op/AppData/Roaming/kronax")},
        {{{"APPDATA", ""}, {"XDG_CONFIG_HOME", "/x/conf"}}, fs::path("/x/conf/kronax"), {}},
    };
    for (const auto& c : cases) {
        const EnvironmentLookup environment = EnvironmentOf(c.variables);
        EXPECT_EQ(PosixUserSettingsFolder(environment), c.posix);
        EXPECT_EQ(WindowsUserSettingsFolder(environment), c.windows);
    }
}

class SettingsLocationTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / test::UniqueTempName("settings");
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "bin");
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(folder_, error);
    }

    fs::path folder_;
};

TEST_F(SettingsLocationTest, WritableProgramFolderKeepsTheFileBesideTheProgramAndLeavesNoProbe) {
    const fs::path program = folder_ / "bin" / "kronax-config";
    const fs::path userFolder = folder_ / "home" / ".config" / "kronax";

    EXPECT_EQ(SettingsFilePath(program.string(), userFolder),
              (folder_ / "bin" / "kronax-config.ini").string());
    EXPECT_TRUE(fs::is_empty(folder_ / "bin"));
    EXPECT_FALSE(fs::exists(folder_ / "home"));
}

// /proc takes no new entries, not even from root, so it stands for a system program folder.
TEST_F(SettingsLocationTest,
       UnwritableProgramFolderMovesTheFileToTheMadeUserFolderWithSameContent) {
    ASSERT_FALSE(FolderWritable("/proc"));
    const fs::path userFolder = folder_ / "home" / ".config" / "kronax";

    const std::string path = SettingsFilePath("/proc/kronax-config", userFolder);

    EXPECT_EQ(path, (userFolder / "kronax-config.ini").string());
    EXPECT_TRUE(fs::is_directory(userFolder));
    TIniEntryStore written(path);
    WriteComPortNumber(written, 12);
    EXPECT_EQ(ReadComPortNumber(TIniEntryStore(path)), 12);
}

TEST_F(SettingsLocationTest, WithoutAUserFolderTheFileStaysBesideTheProgramEvenWhenUnwritable) {
    EXPECT_EQ(SettingsFilePath("/proc/kronax-config", std::nullopt), "/proc/kronax-config.ini");
    EXPECT_FALSE(FolderWritable(folder_ / "missing"));
    EXPECT_TRUE(FolderWritable(folder_ / "bin"));
}

} // namespace
} // namespace kronax
