#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QWindow>

#include "frontends/qt/GuiDispatcher.hpp"
#include "frontends/qt/QtSleeper.hpp"

namespace quillon::gui {
namespace {

void PostClick(QPushButton& button) {
    const QPointF at(button.width() / 2.0, button.height() / 2.0);
    const QPointF global = button.mapToGlobal(at);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QCoreApplication::postEvent(
            &button,
            new QMouseEvent(type, at, global, Qt::LeftButton,
                            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                            Qt::NoModifier));
    }
}

TEST(QtSleeperTest, PauseOnTheGuiThreadDropsClicksOnOpenWindows) {
    GuiDispatcher dispatcher;
    QtSleeper sleeper(dispatcher);
    QPushButton button(QStringLiteral("升级固件"));
    button.resize(120, 30);
    button.show();
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&clicks] { ++clicks; });

    PostClick(button);
    sleeper.SleepMs(0);
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 0) << "a click during a pause must not start a second command";

    PostClick(button);
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 1) << "after the pause the window takes input again";
}

// Counts the close requests that reach the window.
class CloseCounter : public QWidget {
  public:
    int closes = 0;

  protected:
    void closeEvent(QCloseEvent* event) override {
        ++closes;
        event->ignore();  // stays open, as a window that asks first may
    }
};

TEST(QtSleeperTest, CloseRequestsDuringAPauseAreMadeOnceAfterIt) {
    GuiDispatcher dispatcher;
    QtSleeper sleeper(dispatcher);
    CloseCounter window;
    window.resize(120, 30);
    window.show();
    for (int request = 0; request < 2; ++request) {
        // As the window system delivers them: through the platform window.
        QMetaObject::invokeMethod(
            &window, [&window] { window.windowHandle()->close(); }, Qt::QueuedConnection);
    }
    sleeper.SleepMs(0);
    EXPECT_EQ(window.closes, 0) << "nothing runs inside the pause";
    QCoreApplication::processEvents();
    EXPECT_EQ(window.closes, 1) << "held, then made once the pause was over";
}

TEST(QtSleeperTest, PauseOffTheGuiThreadIsAPlainSleep) {
    GuiDispatcher dispatcher;
    QtSleeper sleeper(dispatcher);
    bool returned = false;
    std::thread worker([&] {
        sleeper.SleepMs(0);
        returned = true;
    });
    worker.join();
    EXPECT_TRUE(returned);
}

}  // namespace
}  // namespace quillon::gui
