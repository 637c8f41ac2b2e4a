// Runs the GUI suites in one QApplication on the offscreen platform, so they
// need no display and never show anything.
#include <gtest/gtest.h>

#include <QApplication>

#include "frontends/qt/AppearanceSetup.hpp"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setFont(quillon::gui::DialogFont());
    return RUN_ALL_TESTS();
}
