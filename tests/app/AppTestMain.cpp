#include "KronaxApplication.h"

#include <gtest/gtest.h>

#include <QtGlobal>

// The window tests need an application object and run without a display.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    kronax::KronaxApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
