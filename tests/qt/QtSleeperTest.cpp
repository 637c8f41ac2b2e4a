#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>

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
