#include <fstream>
#include <random>

#include <gtest/gtest.h>

#include "UpgradeTestWindow.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/VirtualCanBus.hpp"
#include "sim/Bootloader.hpp"
#include "sim/Sha256.hpp"
#include "support/FakeSystem.hpp"
#include "support/ScriptedHost.hpp"
#include "support/sim/DeviceSleeper.hpp"
#include "upgrade/UpgradeControls.hpp"

namespace quillon::test {
namespace {

constexpr const char* BUS_NAME = "upgrade-end-to-end";

struct StreamRow {
    const char* name;
    std::size_t bytes;
    std::uint32_t eraseMs;  ///< how long the simulated device takes to erase
    std::uint64_t frames;   ///< image data frames the device should take
};

class UpgradeSimTest : public ::testing::TestWithParam<StreamRow> {
  protected:
    void SetUp() override {
        kelvix::SetAdapterSpecOverride(std::string("sim:nodevice,bus=") + BUS_NAME);
    }
    void TearDown() override { kelvix::CloseAllAdapters(); }
};

TEST_P(UpgradeSimTest, ImageArrivesAtTheBootLoaderUnchanged) {
    const StreamRow row = GetParam();
    FakeSystem system;
    std::mt19937 random(static_cast<std::uint32_t>(row.bytes));
    std::vector<std::uint8_t> image(row.bytes);
    for (auto& byte : image) {
        byte = static_cast<std::uint8_t>(random());
    }
    const auto path = system.directory.Path() / "firmware.bin";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));

    auto devicePort = kelvix::VirtualCanBus::Named(BUS_NAME)->Attach(0);
    sim::Bootloader loader(system.clock, row.eraseMs);
    DeviceSleeper sleeper(system.clock, *devicePort, loader);
    sys::SystemServices services = system.ServicesWith(sleeper);
    ScriptedHost host;
    UpgradeTestWindow window(host, services);
    host.AnswerNextFileDialogs({path.string()});
    window.Click(upgrade::IDC_UPGRADE);
    sleeper.Deliver();

    EXPECT_TRUE(host.Boxes().empty());
    EXPECT_EQ(loader.FramesReceived(), row.frames);
    if (row.frames == 0) {
        EXPECT_EQ(loader.LostFrames(), 1 + (row.bytes + 7) / 8) << "program command and all data";
        return;
    }
    EXPECT_EQ(loader.LostFrames(), 0u);
    EXPECT_EQ(loader.Sha256Hex(), sim::Sha256::HexOf(image));
    EXPECT_EQ(loader.Image(), image);
}

INSTANTIATE_TEST_SUITE_P(Images, UpgradeSimTest,
                         ::testing::Values(StreamRow{"Random100000", 100000, 8000, 12500},
                                           StreamRow{"Exact32000", 32000, 8000, 4001},
                                           StreamRow{"DeviceEraseSlowerThanTheWait", 1000, 8001,
                                                     0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillon::test
