#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "platform/kmdf/UserThread.hpp"

namespace kmdf {
namespace {

/// Finishes the operations of the thread it is asked to cancel.
class RecordingCanceller final : public ThreadIoCanceller {
  public:
    RecordingCanceller() { UserThread::Register(this); }
    ~RecordingCanceller() override { UserThread::Unregister(this); }
    void CancelThreadIo(std::uint64_t threadKey) override {
        std::lock_guard lock(mutex);
        cancelled.push_back(threadKey);
        for (const auto& operation : operations) {
            operation->Finish(STATUS_CANCELLED, 0);
        }
    }

    std::mutex mutex;
    std::vector<std::uint64_t> cancelled;
    std::vector<std::shared_ptr<IoOperation>> operations;
};

TEST(UserThreadTest, EveryThreadHasItsOwnKey) {
    std::set<std::uint64_t> keys{UserThread::Current().Key()};
    for (int i = 0; i < 4; ++i) {
        std::thread([&] { keys.insert(UserThread::Current().Key()); }).join();
    }
    EXPECT_EQ(keys.size(), 5U);
    EXPECT_EQ(keys.count(0), 0U);
    EXPECT_EQ(UserThread::Current().Key(), UserThread::Current().Key());
}

TEST(UserThreadTest, AThreadEndingWithIoOutstandingHasItCancelledAndWaitsForIt) {
    RecordingCanceller canceller;
    auto operation = std::make_shared<IoOperation>();
    canceller.operations.push_back(operation);
    std::uint64_t key = 0;
    std::thread([&] {
        key = UserThread::Current().Key();
        UserThread::Current().Track(operation);
    }).join();
    EXPECT_EQ(canceller.cancelled, std::vector<std::uint64_t>{key});
    EXPECT_TRUE(operation->IsDone());
    EXPECT_EQ(operation->Wait().status, STATUS_CANCELLED);
}

TEST(UserThreadTest, AThreadWhoseIoIsDoneEndsWithoutCancelling) {
    RecordingCanceller canceller;
    std::thread([&] {
        for (int i = 0; i < 200; ++i) {
            auto operation = std::make_shared<IoOperation>();
            UserThread::Current().Track(operation);
            operation->Finish(STATUS_SUCCESS, 0);
        }
    }).join();
    EXPECT_TRUE(canceller.cancelled.empty());
}

}  // namespace
}  // namespace kmdf
