#include "config_file/IniFile.h"

#include "tests/support/FileText.h"
#include "tests/support/ScopedTempFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#ifdef _WIN32
#include <windows.h>
#endif

namespace kronax {
namespace {
namespace fs = std::filesystem;

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / test::UniqueTempName("ini");
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code error;
        fs::permissions(folder_ / "ro.ini", fs::perms::owner_all, error);
        fs::remove_all(folder_, error);
    }

    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

    int EntriesInFolder() const {
        return static_cast<int>(std::distance(fs::directory_iterator(folder_), {}));
    }

    fs::path folder_;
};

TEST_F(IniFileTest, CreatingTheObjectNeitherCreatesNorChangesTheFile) {
    const std::string path = PathOf("s.ini");
    { IniFile file(path); }
    EXPECT_FALSE(fs::exists(path));
    test::WriteFileText(path, "[General]\nComPortNo=4");
    IniFile file(path);
    EXPECT_EQ(test::ReadFileText(path), "[General]\nComPortNo=4");
    EXPECT_EQ(file.ReadEntry("general", "comportno", "1"), "4");
}

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheDefaultWithoutTrailingBlanks) {
    IniFile missing(PathOf("none.ini"));
    EXPECT_EQ(missing.ReadEntry("General", "ComPortNo", " 1 \t"), " 1");
    test::WriteFileText(PathOf("s.ini"), "[General]\r\nOther=2\r\n");
    IniFile file(PathOf("s.ini"));
    EXPECT_EQ(file.ReadEntry("General", "ComPortNo", "1"), "1");
    EXPECT_EQ(file.ReadEntry("Kronax", "SEN", "d"), "d");
}

TEST_F(IniFileTest, WriteCreatesAMissingFileAndEditsAnExistingOneInPlace) {
    const std::string path = PathOf("s.ini");
    IniFile file(path);
    file.WriteEntry("Main", "Port", "COM3");
    EXPECT_EQ(test::ReadFileText(path), "[Main]\r\nPort=COM3\r\n");
    test::WriteFileText(path, "; top\n[Main]\nPort=COM3\n");
    file.WriteEntry("main", "PORT", "COM10");
    EXPECT_EQ(test::ReadFileText(path), "; top\n[Main]\nPort=COM10\r\n");
    EXPECT_EQ(EntriesInFolder(), 1) << "no temporary file is left behind";
}

TEST_F(IniFileTest, WriteIntoAMissingFolderFailsNamingTheFileAndCreatesNothing) {
    const std::string path = PathOf("absent/s.ini");
    IniFile file(path);
    try {
        file.WriteEntry("Main", "Port", "COM3");
        FAIL() << "write succeeded";
    } catch (const EIniWrite& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
    }
    EXPECT_EQ(EntriesInFolder(), 0);
}

TEST_F(IniFileTest, FailedWriteLeavesTheOldFileIntact) {
    // The target's parent is a regular file: the temporary file cannot be created, even as root.
    const std::string parent = PathOf("plain");
    test::WriteFileText(parent, "not a folder");
    IniFile blocked(parent + "/s.ini");
    EXPECT_THROW(blocked.WriteEntry("A", "x", "1"), std::runtime_error);
    EXPECT_EQ(test::ReadFileText(parent), "not a folder");

    // A folder in the target's place: the rename cannot replace it.
    fs::create_directory(PathOf("dir.ini"));
    IniFile folderTarget(PathOf("dir.ini"));
    EXPECT_THROW(folderTarget.WriteEntry("A", "x", "1"), EIniWrite);
    EXPECT_TRUE(fs::is_directory(PathOf("dir.ini")));
    EXPECT_EQ(EntriesInFolder(), 2);
}

TEST_F(IniFileTest, WriteThroughASymbolicLinkChangesTheLinkedFileAndKeepsTheLink) {
    test::WriteFileText(PathOf("real.ini"), "[A]\r\nx=1\r\n");
    std::error_code linkError;
    fs::create_symlink(PathOf("real.ini"), PathOf("link.ini"), linkError);
    // Windows lets only administrators, or anyone in developer mode, make symbolic links; Wine
    // lets no one.
    if (linkError)
        GTEST_SKIP() << "cannot make a symbolic link here: " << linkError.message();
    IniFile file(PathOf("link.ini"));
    file.WriteEntry("A", "x", "2");
    EXPECT_TRUE(fs::is_symlink(PathOf("link.ini")));
    EXPECT_EQ(test::ReadFileText(PathOf("real.ini")), "[A]\r\nx=2\r\n");
}

TEST_F(IniFileTest, ReadOnlyFileIsNotReplaced) {
    const std::string path = PathOf("ro.ini");
    test::WriteFileText(path, "[A]\r\nx=1\r\n");
    fs::permissions(path, fs::perms::owner_read);
    IniFile file(path);
    EXPECT_THROW(file.WriteEntry("A", "x", "2"), EIniWrite);
    EXPECT_EQ(test::ReadFileText(path), "[A]\r\nx=1\r\n");
}

TEST_F(IniFileTest, EntryThatCannotReadBackIsRefusedAndChangesNothing) {
    const std::string path = PathOf("s.ini");
    test::WriteFileText(path, "[A]\r\nx=1\r\n");
    IniFile file(path);
    EXPECT_THROW(file.WriteEntry("A", "x", "two\r\nlines"), EIniWrite);
    EXPECT_THROW(file.WriteEntry("A", "y=z", "1"), EIniWrite);
    EXPECT_EQ(test::ReadFileText(path), "[A]\r\nx=1\r\n");
}

#ifdef _WIN32
// A UTF-8 byte-order mark is no part of the first section's header and stays where it is, as
// with the system's own profile functions.
TEST_F(IniFileTest, AByteOrderMarkIsReadAndKeptAsTheProfileFunctionsDo) {
    const std::string text = "\xEF\xBB\xBF[Kronax]\r\nMOD=12345\r\n";
    const std::string ours = PathOf("ours.ini");
    const std::string theirs = PathOf("theirs.ini");
    test::WriteFileText(ours, text);
    test::WriteFileText(theirs, text);
    char value[64] = {};
    GetPrivateProfileStringA("Kronax", "MOD", "", value, sizeof value, theirs.c_str());
    EXPECT_EQ(IniFile(ours).ReadEntry("Kronax", "MOD", ""), value);

    IniFile(ours).WriteEntry("Kronax", "MUX", "FFFFF");
    WritePrivateProfileStringA("Kronax", "MUX", "FFFFF", theirs.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, theirs.c_str());
    EXPECT_EQ(test::ReadFileText(ours), test::ReadFileText(theirs));
}
#endif

} // namespace
} // namespace kronax
