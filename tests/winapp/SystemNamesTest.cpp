// File names from Windows' wide dialogs as the core opens them, under Wine.

#include "winapp/SystemNames.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <windows.h>

namespace kronax::win32 {
namespace {

std::wstring TemporaryFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, folder);
    return folder;
}

// What the core reads from a file it was given the name of.
std::string ReadAsTheCoreDoes(const std::string& name) {
    std::ifstream in(std::filesystem::path(name), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// Each name, written through the wide functions, is read back through the name it is given as.
TEST(SystemNamesTest, AChosenFileOpensByTheNameTheCoreIsGiven) {
    const std::wstring names[] = {L"board.kxcfg", L"Pr\u00fcfstand \u00b5C.kxcfg",
                                  L"\u03b1\u03b2\u03b3 board.kxcfg"};
    for (const std::wstring& name : names) {
        const std::wstring path = TemporaryFolder() + name;
        FILE* out = _wfopen(path.c_str(), L"wb");
        ASSERT_NE(out, nullptr);
        std::fputs("[Kronax]\r\n", out);
        std::fclose(out);
        EXPECT_EQ(ReadAsTheCoreDoes(SystemFileName(path)), "[Kronax]\r\n") << SystemFileName(path);
        DeleteFileW(path.c_str());
    }
}

TEST(SystemNamesTest, TheProgramsOwnNameEndsInItsFileName) {
    const std::string program = ProgramFileName();
    EXPECT_EQ(program.substr(program.size() - std::string("winapp_tests.exe").size()),
              "winapp_tests.exe");
}

} // namespace
} // namespace kronax::win32
