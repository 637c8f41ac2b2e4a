// The link's stop: a receive wait in progress ends with the adapter's close,
// not when its own wait runs out.
#include "app/DeviceLink.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/kelvix/Adapter.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "support/FakeSystem.hpp"

namespace quillon::app {
namespace {

// What the adapter saw of the receive thread's waits.
struct WaitLog {
    std::mutex mutex;
    std::condition_variable changed;
    bool closed = false;
    int closes = 0;
    int waiting = 0;        ///< receives inside their wait now
    int endedByClose = 0;   ///< waits the close ended
    int endedByExpiry = 0;  ///< waits that ran their full time
};

// An adapter on a quiet bus: every receive waits its full time unless the
// adapter is closed meanwhile.
class QuietAdapter final : public kelvix::Adapter {
  public:
    explicit QuietAdapter(std::shared_ptr<WaitLog> log) : log_(std::move(log)) {}
    std::string Open() override { return {}; }
    void Close() override {
        {
            std::lock_guard lock(log_->mutex);
            log_->closed = true;
            ++log_->closes;
        }
        log_->changed.notify_all();
    }
    bool InitChannel(std::uint32_t, const CanInitRecord&) override { return true; }
    bool StartChannel(std::uint32_t) override { return true; }
    std::uint32_t Transmit(std::uint32_t, std::span<const CanFrameRecord> frames) override {
        return static_cast<std::uint32_t>(frames.size());
    }
    std::int32_t Receive(std::uint32_t, std::span<CanFrameRecord>, std::int32_t waitMs) override {
        std::unique_lock lock(log_->mutex);
        ++log_->waiting;
        log_->changed.notify_all();
        const bool closed = log_->changed.wait_for(lock, std::chrono::milliseconds(waitMs),
                                                   [this] { return log_->closed; });
        --log_->waiting;
        ++(closed ? log_->endedByClose : log_->endedByExpiry);
        return 0;
    }
    CanErrorRecord TakeError(std::uint32_t) override { return {}; }
    bool SetReference(std::uint32_t, std::uint32_t, void*) override { return true; }

  private:
    std::shared_ptr<WaitLog> log_;
};

class DeviceLinkTest : public ::testing::Test {
  protected:
    DeviceLinkTest() {
        kelvix::CloseAllAdapters();
        kelvix::RegisterBackend("quiet", [log = log](const kelvix::AdapterSpec&, std::uint32_t,
                                                     std::string&) {
            return std::make_unique<QuietAdapter>(log);
        });
        kelvix::SetAdapterSpecOverride("quiet");
    }
    ~DeviceLinkTest() override {
        kelvix::CloseAllAdapters();
        kelvix::SetAdapterSpecOverride("");
    }
    bool WaitUntilReceiving() {
        std::unique_lock lock(log->mutex);
        return log->changed.wait_for(lock, std::chrono::seconds(10),
                                     [this] { return log->waiting > 0; });
    }

    std::shared_ptr<WaitLog> log = std::make_shared<WaitLog>();
    test::FakeSystem system;
    protocol::Cpc1crypt cipher;
    DeviceLink link{system.sleeper, cipher};
};

TEST_F(DeviceLinkTest, StopEndsTheReceiveWaitInProgressWithTheClose) {
    ASSERT_TRUE(link.Open(0));
    link.StartReceiving([](std::uint32_t, const CanFrameRecord&) {});
    ASSERT_TRUE(WaitUntilReceiving());
    link.StopReceiving();
    EXPECT_FALSE(link.IsRunning());
    link.Close();
    std::lock_guard lock(log->mutex);
    EXPECT_TRUE(log->closed);
    EXPECT_EQ(log->waiting, 0) << "the thread has ended";
    EXPECT_GE(log->endedByClose, 1);
    EXPECT_EQ(log->endedByExpiry, 0) << "no wait ran out while the link stopped";
    EXPECT_EQ(log->closes, 1) << "the window's close after the stop is no second close";
    EXPECT_EQ(system.sleeper.CountOf(500), 0u) << "no fixed pause for the thread";
}

TEST_F(DeviceLinkTest, OpensAgainAfterAStopAndClosesWhatItOpened) {
    ASSERT_TRUE(link.Open(4));
    link.StartReceiving([](std::uint32_t, const CanFrameRecord&) {});
    link.StopReceiving();
    link.Close();
    ASSERT_TRUE(link.Open(4));
    EXPECT_EQ(log->closes, 1);
    link.Close();
    EXPECT_EQ(log->closes, 2) << "a link opened again without a thread closes on Close";
    EXPECT_EQ(VCI_CloseDevice(DeviceLink::DEVICE_TYPE_CODE, 4), 0u) << "nothing left open";
}

}  // namespace
}  // namespace quillon::app
