#include <gtest/gtest.h>

#include "platform/kmdf/Kernel.hpp"
#include "platform/kmdf/SimUsbDevice.hpp"
#include "support/kmdf/FakeWaiter.hpp"
#include "support/kmdf/PatternFunction.hpp"

namespace kmdf {
namespace {

const USBD_PIPE_HANDLE PIPE = reinterpret_cast<USBD_PIPE_HANDLE>(0x1000);

/// One data transfer with its own buffer, list and record.
struct Transfer {
    Transfer(UCHAR endpoint, std::size_t length)
        : data(length, 0xEE),
          mdl(IoAllocateMdl(data.data(), static_cast<ULONG>(length), false, false, nullptr)) {
        urb.Hdr.Length = sizeof urb;
        urb.Hdr.Function = URB_FUNCTION_BULK_OR_INTERRUPT_TRANSFER;
        urb.PipeHandle = PIPE;
        urb.TransferFlags =
            ((endpoint & 0x80) != 0 ? USBD_TRANSFER_DIRECTION_IN : 0) | USBD_SHORT_TRANSFER_OK;
        urb.TransferBufferLength = static_cast<ULONG>(length);
        urb.TransferBufferMDL = mdl;
        sim->endpoint = endpoint;
        sim->urb = &urb;
        sim->expectedPipe = PIPE;
        sim->onComplete = [done = done](SimTransfer&) { done->Signal(); };
    }
    ~Transfer() { IoFreeMdl(mdl); }
    void Wait() { done->Wait(); }

    std::vector<std::uint8_t> data;
    PMDL mdl;
    URB_BULK_OR_INTERRUPT_TRANSFER urb{};
    std::shared_ptr<SimTransfer> sim = std::make_shared<SimTransfer>();
    std::shared_ptr<OneShotEvent> done = std::make_shared<OneShotEvent>();
};

class SimUsbDeviceTest : public ::testing::Test {
  protected:
    void TearDown() override {
        EXPECT_EQ(device.Stats().doubleCompletions, 0U);
        EXPECT_TRUE(device.WaitIdle());
    }

    Kernel kernel{std::make_shared<FakeWaiter>()};
    std::shared_ptr<PatternFunction> function = std::make_shared<PatternFunction>();
    SimUsbDevice device{AdapterDeviceConfig(), function};
};

TEST_F(SimUsbDeviceTest, ShortPacketMovesOnlyThatManyBytes) {
    device.ScriptFault(0x81, TransferFault::Short(10));
    Transfer t(0x81, 64);
    device.Submit(t.sim);
    t.Wait();
    EXPECT_EQ(t.sim->status, STATUS_SUCCESS);
    EXPECT_EQ(t.urb.TransferBufferLength, 10U);
    EXPECT_EQ(t.data[9], PatternFunction::PatternByte(0, 9));
    EXPECT_EQ(t.data[10], 0xEE);
}

TEST_F(SimUsbDeviceTest, StallHaltsTheEndpointUntilCleared) {
    device.ScriptFault(0x01, TransferFault::Stall());
    for (USBD_STATUS expected : {USBD_STATUS_STALL_PID, USBD_STATUS_ENDPOINT_HALTED}) {
        Transfer t(0x01, 8);
        device.Submit(t.sim);
        t.Wait();
        EXPECT_EQ(t.sim->status, STATUS_UNSUCCESSFUL);
        EXPECT_EQ(t.urb.Hdr.Status, expected);
        EXPECT_EQ(t.urb.TransferBufferLength, 0U);
    }
    EXPECT_TRUE(device.IsHalted(0x01));
    device.ClearHalt(0x01);
    Transfer t(0x01, 8);
    device.Submit(t.sim);
    t.Wait();
    EXPECT_EQ(t.sim->status, STATUS_SUCCESS);
    EXPECT_EQ(function->OutBytes(), 8U);
}

TEST_F(SimUsbDeviceTest, AbortCancelsHeldTransfersAndThoseArrivingDuringIt) {
    device.ScriptFault(0x81, TransferFault::Hold());
    Transfer held(0x81, 16);
    Transfer other(0x82, 16);
    device.ScriptFault(0x82, TransferFault::Hold());
    device.Submit(held.sim);
    device.Submit(other.sim);
    ASSERT_TRUE(device.WaitForHeld(2));
    device.BeginAbort(0x81);
    held.Wait();
    EXPECT_EQ(held.sim->status, STATUS_CANCELLED);
    Transfer late(0x81, 16);
    device.Submit(late.sim);
    late.Wait();
    EXPECT_EQ(late.sim->status, STATUS_CANCELLED);
    device.EndAbort(0x81);
    EXPECT_EQ(device.HeldCount(), 1U);
    device.ReleaseHeld();
    other.Wait();
    EXPECT_EQ(other.sim->status, STATUS_SUCCESS);
    EXPECT_EQ(device.Stats().cancelled, 2U);
}

TEST_F(SimUsbDeviceTest, MalformedTransferRecordIsRefused) {
    Transfer wrongPipe(0x81, 8);
    wrongPipe.urb.PipeHandle = nullptr;
    Transfer wrongDirection(0x81, 8);
    wrongDirection.urb.TransferFlags = 0;
    Transfer tooLong(0x81, 8);
    tooLong.urb.TransferBufferLength = 9;
    for (Transfer* t : {&wrongPipe, &wrongDirection, &tooLong}) {
        device.Submit(t->sim);
        t->Wait();
        EXPECT_EQ(t->sim->status, STATUS_INVALID_PARAMETER);
        EXPECT_EQ(t->data, std::vector<std::uint8_t>(8, 0xEE));
    }
    EXPECT_EQ(device.Stats().malformed, 3U);
}

class SlowFunction final : public SimUsbFunction {
  public:
    std::optional<std::size_t> ReadIn(std::uint8_t, std::span<std::uint8_t> buffer) override {
        if (!ready) {
            return std::nullopt;
        }
        buffer[0] = 0x42;
        return 1;
    }
    std::optional<std::size_t> WriteOut(std::uint8_t, std::span<const std::uint8_t>) override {
        return std::nullopt;
    }
    std::atomic<bool> ready{false};
};

TEST(SimUsbDeviceWaitTest, TransferWithoutDataWaitsUntilTheFunctionHasSome) {
    Kernel kernel{std::make_shared<FakeWaiter>()};
    auto function = std::make_shared<SlowFunction>();
    SimUsbDevice device{AdapterDeviceConfig(), function};
    Transfer t(0x81, 8);
    device.Submit(t.sim);
    device.NotifyDataReady();
    EXPECT_EQ(t.sim->completions.load(), 0);
    function->ready = true;
    device.NotifyDataReady();
    t.Wait();
    EXPECT_EQ(t.urb.TransferBufferLength, 1U);
    EXPECT_EQ(t.data[0], 0x42);
}

TEST_F(SimUsbDeviceTest, GetStatusOfAnEndpointReportsItsHalt) {
    device.ScriptFault(0x02, TransferFault::Stall());
    Transfer stall(0x02, 4);
    device.Submit(stall.sim);
    stall.Wait();
    auto control = std::make_shared<SimTransfer>();
    control->kind = SimTransfer::Kind::Control;
    control->setup = UsbSetupPacket{0x82, 0, 0, 0x02, 2};
    auto done = std::make_shared<OneShotEvent>();
    control->onComplete = [done](SimTransfer&) { done->Signal(); };
    device.Submit(control);
    done->Wait();
    EXPECT_EQ(control->status, STATUS_SUCCESS);
    EXPECT_EQ(control->controlData, (std::vector<std::uint8_t>{1, 0}));
}

}  // namespace
}  // namespace kmdf
