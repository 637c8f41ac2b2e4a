#include <gtest/gtest.h>

#include <thread>

#include "support/kmdf/FakeWaiter.hpp"

namespace kmdf {
namespace {

using std::chrono::milliseconds;

TEST(FakeWaiterTest, WaitEndsOnlyWhenTimeReachesTheDeadline) {
    FakeWaiter clock;
    auto event = std::make_shared<OneShotEvent>();
    bool signalled = true;
    std::thread waiter([&] { signalled = clock.WaitFor(event, milliseconds(100)); });
    ASSERT_TRUE(clock.WaitForWaiters(1));
    EXPECT_EQ(clock.PendingDeadlines(), std::vector<std::chrono::nanoseconds>{milliseconds(100)});
    clock.Advance(milliseconds(99));
    EXPECT_EQ(clock.PendingDeadlines().size(), 1U);
    clock.Advance(milliseconds(1));
    waiter.join();
    EXPECT_FALSE(signalled);
    EXPECT_EQ(clock.Now(), milliseconds(100));
}

TEST(FakeWaiterTest, SignalEndsTheWaitWithoutTimePassing) {
    FakeWaiter clock;
    auto event = std::make_shared<OneShotEvent>();
    bool signalled = false;
    std::thread waiter([&] { signalled = clock.WaitFor(event, milliseconds(100)); });
    ASSERT_TRUE(clock.WaitForWaiters(1));
    event->Signal();
    waiter.join();
    EXPECT_TRUE(signalled);
    EXPECT_EQ(clock.Now(), milliseconds(0));
    EXPECT_TRUE(clock.PendingDeadlines().empty());
}

}  // namespace
}  // namespace kmdf
