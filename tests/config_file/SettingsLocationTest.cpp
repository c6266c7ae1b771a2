#include "config_file/SettingsLocation.h"

#include "config_file/IniEntryStore.h"
#include "config_file/RememberedPort.h"
#include "tests/support/ScopedTempFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <vector>

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

// Root can write /usr/bin, yet the settings of an installed program belong in the user's folder.
TEST_F(SettingsLocationTest, BesideTheProgramOnlyForAPortableCopyOrABuildFolder) {
    const fs::path userFolder = folder_ / "home" / ".config" / "kronax";
    const fs::path user = userFolder / "kronax-config.ini";
    const struct {
        const char* name;
        std::vector<fs::path> files;
        fs::path expected;
    } cases[] = {
        {"installed, writable folder", {}, user},
        {"portable copy", {"bin/kronax-config.ini"}, folder_ / "bin" / "kronax-config.ini"},
        {"build folder", {"CMakeCache.txt"}, folder_ / "bin" / "kronax-config.ini"},
        {"other program's settings", {"bin/other.ini"}, user},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "bin");
        for (const fs::path& file : c.files)
            std::ofstream(folder_ / file).put('\n');
        const auto before = std::distance(fs::directory_iterator(folder_ / "bin"), {});

        EXPECT_EQ(SettingsFilePath((folder_ / "bin" / "kronax-config").string(), userFolder),
                  c.expected.string());
        EXPECT_EQ(std::distance(fs::directory_iterator(folder_ / "bin"), {}), before);
        EXPECT_EQ(fs::is_directory(userFolder), c.expected == user);
    }
}

TEST_F(SettingsLocationTest, TheUserFolderIsMadeAndKeepsTheSameContent) {
    const fs::path userFolder = folder_ / "home" / ".config" / "kronax";

    const std::string path =
        SettingsFilePath((folder_ / "bin" / "kronax-config").string(), userFolder);

    EXPECT_EQ(path, (userFolder / "kronax-config.ini").string());
    EXPECT_TRUE(fs::is_directory(userFolder));
    IniEntryStore written(path);
    WriteComPortNumber(written, 12);
    EXPECT_EQ(ReadComPortNumber(IniEntryStore(path)), 12);
}

TEST_F(SettingsLocationTest, WithoutAUserFolderTheFileStaysBesideTheProgram) {
    EXPECT_EQ(SettingsFilePath((folder_ / "bin" / "kronax-config").string(), std::nullopt),
              (folder_ / "bin" / "kronax-config.ini").string());
}

} // namespace
} // namespace kronax
