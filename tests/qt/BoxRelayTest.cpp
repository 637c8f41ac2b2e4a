#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <atomic>
#include <thread>

#include "frontends/qt/BoxRelay.hpp"
#include "platform/ui/WindowMessages.hpp"
#include "tests/qt/WindowWatcher.hpp"

namespace quillon::gui {
namespace {

using test::RunUntil;

TEST(BoxRelayTest, QuestionFromAnotherThreadIsAnsweredOnTheGuiThread) {
    GuiDispatcher dispatcher;
    BoxRelay relay(dispatcher);
    QThread* presentedOn = nullptr;
    std::atomic<int> answer{0};
    std::thread asker([&] {
        answer = relay.Ask(
            [&] {
                presentedOn = QThread::currentThread();
                return ui::IDYES;
            },
            ui::IDNO);
    });
    ASSERT_TRUE(RunUntil([&] { return presentedOn != nullptr; }));
    asker.join();
    EXPECT_EQ(answer.load(), ui::IDYES);
    EXPECT_EQ(presentedOn, qApp->thread());
}

TEST(BoxRelayTest, DismissingReleasesTheWaitingAskerAndAnswersLaterOnesAtOnce) {
    GuiDispatcher dispatcher;
    BoxRelay relay(dispatcher);
    bool presented = false;
    std::atomic<int> answer{0};
    std::thread asker([&] {
        answer = relay.Ask(
            [&] {
                presented = true;
                return ui::IDYES;
            },
            ui::IDNO);
    });
    // Whether the asker is already waiting or has yet to ask, it is answered
    // without the GUI thread ever running its question.
    relay.DismissAll();
    asker.join();
    EXPECT_EQ(answer.load(), ui::IDNO);
    dispatcher.RunPending();
    EXPECT_FALSE(presented) << "a dismissed question is never shown";
    EXPECT_TRUE(relay.Dismissed());
    EXPECT_EQ(relay.Ask([] { return ui::IDYES; }, ui::IDCANCEL), ui::IDCANCEL);
}

}  // namespace
}  // namespace quillon::gui
