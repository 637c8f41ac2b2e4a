// Firmware upgrades over the simulated adapter on a bit-timed bus, on fake
// time: the adapter's transmit queue fills, VCI_Transmit waits for room, and
// the image still arrives whole; a queue held full past the bound fails.
#include <fstream>
#include <random>

#include <gtest/gtest.h>

#include "UpgradeTestWindow.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/SimAdapter.hpp"
#include "platform/kelvix/VirtualCanBus.hpp"
#include "sim/Bootloader.hpp"
#include "sim/Sha256.hpp"
#include "support/FakeSystem.hpp"
#include "support/ScriptedHost.hpp"
#include "support/sim/DeviceSleeper.hpp"
#include "upgrade/UpgradeControls.hpp"

namespace quillon::test {
namespace {

constexpr const char* BUS_NAME = "timed-upgrade";
constexpr const char* SEND_FAILED = "写入参数失败，请检查设备是否连接正常!";

class TimedUpgradeTest : public ::testing::Test {
  protected:
    void TearDown() override {
        kelvix::CloseAllAdapters();
        kelvix::SetSimBusTime(nullptr, nullptr);
    }
    std::vector<std::uint8_t> WriteImage(std::size_t bytes) {
        std::mt19937 random(static_cast<std::uint32_t>(bytes));
        std::vector<std::uint8_t> image(bytes);
        for (auto& byte : image) {
            byte = static_cast<std::uint8_t>(random());
        }
        std::ofstream(Image(), std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()),
                   static_cast<std::streamsize>(image.size()));
        return image;
    }
    std::filesystem::path Image() const { return system.directory.Path() / "firmware.bin"; }
    /// Streams the image over a bus timed by `spec` into `loader`; returns the
    /// fake milliseconds the upgrade command took.
    std::uint64_t Upgrade(const std::string& spec, sim::Bootloader& loader) {
        kelvix::SetAdapterSpecOverride(spec);
        auto bus = kelvix::VirtualCanBus::Named(BUS_NAME);
        auto devicePort = bus->Attach(0);
        DeviceSleeper sleeper(system.clock, *devicePort, loader);
        kelvix::SetSimBusTime(&system.clock, &sleeper);
        sys::SystemServices services = system.ServicesWith(sleeper);
        UpgradeTestWindow window(host, services);
        host.AnswerNextFileDialogs({Image().string()});
        const std::uint64_t startMs = system.clock.MonotonicMs();
        window.Click(upgrade::IDC_UPGRADE);
        const std::uint64_t tookMs = system.clock.MonotonicMs() - startMs;
        sleeper.SleepMs(60'000);  // the wire empties the adapter's queue
        kelvix::CloseAllAdapters();
        return tookMs;
    }

    FakeSystem system;
    ScriptedHost host;
};

struct RateRow {
    const char* name;
    std::uint32_t bitrate;
};

class TimedUpgradeRateTest : public TimedUpgradeTest,
                             public ::testing::WithParamInterface<RateRow> {};

// 2001 data frames: more than a block, so the pause between blocks comes too.
TEST_P(TimedUpgradeRateTest, TheWholeImageArrivesThroughTheQueue) {
    const auto image = WriteImage(16'004);
    sim::Bootloader loader(system.clock, 7000);
    const std::uint64_t tookMs =
        Upgrade("sim:nodevice,bus=" + std::string(BUS_NAME) +
                    ",queue=8,bitrate=" + std::to_string(GetParam().bitrate),
                loader);
    EXPECT_TRUE(host.Boxes().empty()) << host.BoxTexts().front();
    EXPECT_EQ(loader.FramesReceived(), 2001u);
    EXPECT_EQ(loader.LostFrames(), 0u);
    EXPECT_EQ(loader.Sha256Hex(), sim::Sha256::HexOf(image));
    // The command ends with at most the queue's 8 frames and one on the wire
    // still to go; each took at least 47 bits (no data, no stuffing).
    const std::uint64_t leastBusMs = (2001ull + 2 - 9) * 47 * 1000 / GetParam().bitrate;
    EXPECT_GE(tookMs, 8000 + leastBusMs);
}

INSTANTIATE_TEST_SUITE_P(Rates, TimedUpgradeRateTest,
                         ::testing::Values(RateRow{"OneMegabit", 1'000'000},
                                           RateRow{"OneHundredTwentyFiveKilobit", 125'000},
                                           RateRow{"TwentyKilobit", 20'000}),
                         [](const auto& info) { return std::string(info.param.name); });

// At 10 bit/s the program command holds the wire for seconds: the second
// image frame finds the queue of two full and gives up after 100 ms.
TEST_F(TimedUpgradeTest, AQueueHeldFullPastTheBoundFailsAndSendsNothingMore) {
    WriteImage(64);
    sim::Bootloader loader(system.clock, 0);
    Upgrade("sim:nodevice,bus=" + std::string(BUS_NAME) + ",bitrate=10,queue=2,queue-wait-ms=100",
            loader);
    EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{SEND_FAILED});
    EXPECT_EQ(loader.FramesReceived(), 1u) << "erase, program and one data frame went out";
    EXPECT_EQ(loader.ImageLength(), 8u);
}

}  // namespace
}  // namespace quillon::test
