#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <mutex>
#include <thread>

#include "frontends/qt/GuiDispatcher.hpp"
#include "tests/qt/WindowWatcher.hpp"

namespace quillon::gui {
namespace {

TEST(GuiDispatcherTest, JobsPostedFromAnotherThreadRunOnTheGuiThreadInOrder) {
    GuiDispatcher dispatcher;
    std::vector<int> order;
    std::vector<QThread*> threads;
    std::thread poster([&] {
        EXPECT_FALSE(dispatcher.OnGuiThread());
        for (int i = 0; i < 3; ++i) {
            dispatcher.Post([&, i] {
                order.push_back(i);
                threads.push_back(QThread::currentThread());
            });
        }
    });
    poster.join();
    ASSERT_TRUE(test::RunUntil([&] { return order.size() == 3; }));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    for (QThread* thread : threads) {
        EXPECT_EQ(thread, qApp->thread());
    }
    EXPECT_TRUE(dispatcher.OnGuiThread());
}

TEST(GuiDispatcherTest, JobsPostedWhileRunningRunInTheSamePass) {
    GuiDispatcher dispatcher;
    int ran = 0;
    dispatcher.Post([&] {
        ++ran;
        dispatcher.Post([&] { ++ran; });
    });
    EXPECT_EQ(dispatcher.RunPending(), 2);
    EXPECT_EQ(ran, 2);
    EXPECT_EQ(dispatcher.RunPending(), 0);
}

}  // namespace
}  // namespace quillon::gui
