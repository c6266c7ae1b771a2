#include "app/KronaxApplication.h"
#include "tests/app/TestSupport.h"

#include <gtest/gtest.h>

#include <QtGlobal>

#include <filesystem>

// The window tests need an application object and run without a display, without any of the
// machine's serial ports and without the user's record store. Only the desktop tests ask for an
// X display.
int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM") != "xcb")
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::filesystem::create_directories(kronax::test::EmptyPortsFolder());
    const std::string records = kronax::test::SuiteFolder() + "/records.sqlite3";
    qputenv("KRONAX_RECORDS", records.c_str());
    const kronax::test::ScopedPorts ports(kronax::test::EmptyPortsFolder());
    kronax::KronaxApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::filesystem::remove_all(kronax::test::SuiteFolder());
    return result;
}
