// The plugins' messages stay off the terminal and reach whoever collects
// them as a reason; the program's other messages still print.
#include "platform/kelvix/qcanbus/QtPluginMessages.hpp"

#include <gtest/gtest.h>

#include <QLoggingCategory>

namespace kelvix {
namespace {

Q_LOGGING_CATEGORY(PLUGIN_LOG, "qt.canbus.plugins.scripted")
Q_LOGGING_CATEGORY(OTHER_LOG, "quillon.scripted")

TEST(QtPluginMessagesTest, PluginMessagesAreCollectedNotPrinted) {
    InstallPluginMessageHandler();
    PluginMessageCapture outer;
    testing::internal::CaptureStderr();
    {
        PluginMessageCapture capture;
        qCWarning(PLUGIN_LOG, "Cannot load library pcanbasic");
        qCCritical(PLUGIN_LOG, "no adapter");
        qCWarning(OTHER_LOG, "kept on the terminal");
        EXPECT_EQ(capture.Text(), "Cannot load library pcanbasic; no adapter");
    }
    qCWarning(PLUGIN_LOG, "after the inner capture");
    const std::string printed = testing::internal::GetCapturedStderr();

    EXPECT_EQ(printed.find("pcanbasic"), std::string::npos) << printed;
    EXPECT_EQ(printed.find("no adapter"), std::string::npos) << printed;
    EXPECT_NE(printed.find("kept on the terminal"), std::string::npos) << printed;
    EXPECT_EQ(outer.Text(), "after the inner capture") << "the innermost capture collects";
}

}  // namespace
}  // namespace kelvix
