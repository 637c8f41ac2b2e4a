#include "frontends/qt/QtSleeper.hpp"

#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <thread>

#include "frontends/qt/InputBlocker.hpp"

namespace quillon::gui {

void QtSleeper::SleepMs(std::uint32_t durationMs) {
    if (!dispatcher_.OnGuiThread()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(durationMs));
        return;
    }
    InputBlocker blocker;
    QEventLoop loop;
    QTimer::singleShot(std::chrono::milliseconds(durationMs), Qt::PreciseTimer, &loop,
                       &QEventLoop::quit);
    loop.exec();
}

}  // namespace quillon::gui
