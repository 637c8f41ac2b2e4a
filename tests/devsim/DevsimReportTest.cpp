// What quillon-devsim prints about a simulated device, with frames delivered
// on its bus and time on a fake clock.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <sstream>
#include <thread>

#include "frontends/devsim/DevsimReport.hpp"
#include "protocol/Cpc1crypt.hpp"
#include "sim/Sha256.hpp"
#include "sim/SimulatedDevice.hpp"
#include "support/BusFrames.hpp"
#include "support/FakeSystem.hpp"

namespace quillon::sim {
namespace {

using test::BusFrame;

CanFrameRecord Remote(std::uint32_t id) {
    CanFrameRecord frame = BusFrame(id, true, {});
    frame.RemoteFlag = 1;
    return frame;
}

class DevsimReportTest : public ::testing::Test {
  protected:
    DevsimReportTest() {
        DeviceConfig config;
        config.eraseMs = 100;
        device = std::make_unique<SimulatedDevice>(bus, config, clock, report.Log());
    }
    // Sends frames as the PC would.
    void Send(std::uint32_t channel, std::initializer_list<CanFrameRecord> frames) {
        for (const auto& frame : frames) {
            pc->SendOn(channel, frame);
        }
    }
    // The device works on its own thread: waits (bounded, without sleeping)
    // until what it did with the frames shows.
    static void WaitUntil(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
        ASSERT_TRUE(done());
    }
    void WaitForImage(std::uint64_t frames) {
        WaitUntil([&] { return device->Loader().FramesReceived() == frames; });
    }
    CanFrameRecord Enciphered(CanFrameRecord frame) const {
        cipher.EncipherPayload(frame.Data);
        return frame;
    }
    std::string Printed() {
        report.Poll(*device);
        std::string text = out.str();
        out.str("");
        return text;
    }
    void StartUpgrade() {
        Send(0, {Remote(1)});
        WaitUntil([&] { return device->Loader().Erasing(); });
        clock.AdvanceMs(100);
        Send(0, {Remote(2)});
        WaitUntil([&] { return device->Loader().Programming(); });
    }

    test::FakeClock clock;
    std::ostringstream out;
    DevsimReport report{out, clock};
    std::shared_ptr<kelvix::VirtualCanBus> bus = kelvix::VirtualCanBus::Create();
    std::unique_ptr<kelvix::VirtualCanPort> pc = bus->Attach(kelvix::VirtualCanPort::ALL_CHANNELS);
    std::unique_ptr<SimulatedDevice> device;
    protocol::Cpc1crypt cipher;
};

TEST_F(DevsimReportTest, AnImageEndedByAShortFrameIsReportedWithItsHash) {
    StartUpgrade();
    Send(0, {BusFrame(1, false, {1, 2, 3, 4, 5, 6, 7, 8}), BusFrame(1, false, {9, 10, 11})});
    WaitForImage(2);
    const std::vector<std::uint8_t> image = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    EXPECT_EQ(Printed(),
              "erase command: erasing flash for 100 ms\n"
              "program command: receiving the image\n"
              "upgrade: image received, 11 bytes in 2 frames, sha256 " +
                  Sha256::HexOf(image) + "\n");
    EXPECT_EQ(Printed(), "") << "reported once";
}

TEST_F(DevsimReportTest, AnImageOfWholeFramesIsReportedAfterTheQuietTime) {
    StartUpgrade();
    for (int block = 0; block < 2049; ++block) {
        Send(0, {BusFrame(1, false, {0, 1, 2, 3, 4, 5, 6, 7})});
    }
    WaitForImage(2049);
    EXPECT_EQ(Printed(),
              "erase command: erasing flash for 100 ms\n"
              "program command: receiving the image\n"
              "upgrade: 16384 bytes received\n");
    clock.AdvanceMs(DevsimReport::IMAGE_QUIET_MS - 1);
    EXPECT_EQ(Printed(), "") << "frames may still come";
    clock.AdvanceMs(1);
    const std::string printed = Printed();
    EXPECT_TRUE(printed.starts_with("upgrade: image received, 16392 bytes in 2049 frames, sha256 "))
        << printed;
    EXPECT_EQ(printed.substr(printed.size() - 65), device->Loader().Sha256Hex() + "\n");
}

TEST_F(DevsimReportTest, DebugTextIsPrintedOnceAndEscaped) {
    Send(1, {Enciphered(BusFrame(0xF0, false, {'A', 'T', '"', '\r', '\n', 0x01}))});
    WaitUntil([&] { return !device->DebugText().empty(); });
    EXPECT_EQ(Printed(), "debug text: \"AT\\\"\\r\\n\\x01\"\n");
    EXPECT_EQ(Printed(), "");
}

TEST_F(DevsimReportTest, ADtuRecordIsPrintedFrameByFrame) {
    Send(0, {Enciphered(BusFrame(0x10, false, {1, 2, 3, 4, 5, 6, 7, 8})),
             Enciphered(BusFrame(0x3F, false, {0xAB}))});
    WaitUntil([&] { return device->DtuFrames().size() == 2; });
    EXPECT_EQ(Printed(),
              "DTU record received (2 frames)\n"
              "  DTU 0x10: 01 02 03 04 05 06 07 08\n"
              "  DTU 0x3F: AB\n");
}

TEST_F(DevsimReportTest, AnAppliedWriteIsSummarisedFromTheStore) {
    auto store = device->Parameters();
    store.can1.baudIndex = 3;
    store.can2.enable = 0;
    store.sys.fileSizeMB = 32;
    store.bridge.ruleCount = 2;
    device->SetParameters(store);
    report.Log()("parameter write applied");
    EXPECT_EQ(
        Printed(),
        "parameter write applied (0 so far): CAN1 enable=" + std::to_string(store.can1.enable) +
            " baudIndex=3, CAN2 enable=0 baudIndex=" + std::to_string(store.can2.baudIndex) +
            ", fileSizeMB=32, bridge rules=2, replay files=0\n");
}

}  // namespace
}  // namespace quillon::sim
