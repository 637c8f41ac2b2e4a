// The Qt thread's pause: a GUI's thread that waits for a device to connect or
// for room in its queue must keep running the events the device needs.
#include <gtest/gtest.h>

#include "platform/kelvix/qcanbus/QtEventThread.hpp"

namespace kelvix {
namespace {

TEST(QtEventThreadTest, APauseOnTheQtThreadRunsItsEvents) {
    QtEventThread& qt = QtEventThread::Instance();
    bool ranDuringPause = false;
    ASSERT_TRUE(qt.Call([&] {
        QMetaObject::invokeMethod(
            qt.Root(), [&] { ranDuringPause = true; }, Qt::QueuedConnection);
        qt.Pause(std::chrono::milliseconds(0));
        EXPECT_TRUE(ranDuringPause) << "the queued event ran while the thread waited";
    }));
    EXPECT_TRUE(ranDuringPause);
}

}  // namespace
}  // namespace kelvix
