// quillon-cli through the whole chain: adapter library, "brindle" backend,
// handle API, Brindle, simulated USB, adapter firmware, CAN bus and the
// device simulator.
#include <gtest/gtest.h>

#include "tests/cli/InProcessCli.hpp"

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "driver/backend/BrindleBackend.hpp"
#include "frontends/cli/CliApp.hpp"
#include "frontends/cli/ExitCode.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "protocol/SettingsFile.hpp"
#include "sim/DeviceConfig.hpp"
#include "sim/Sha256.hpp"
#include "sim/SimDevices.hpp"
#include "sim/SimulatedDevice.hpp"
#include "support/Environment.hpp"
#include "support/FakeSystem.hpp"

namespace brindle {
namespace {

using namespace quillon;

class EndToEndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterBrindleBackend();
        sim::RegisterSimDevice();
    }
    void TearDown() override {
        kelvix::CloseAllAdapters();
        test::UnsetEnvironment("KELVIX_ADAPTER");
    }

    test::CliResult Run(std::vector<std::string> args) {
        return test::RunCliInProcess(std::move(args), system.services);
    }
    std::string Dir() const { return system.directory.Path().string(); }

    test::FakeSystem system;
};

TEST_F(EndToEndTest, WriteThenReadRoundTripsAFullRecord) {
    protocol::SettingsSections sections;
    sections.can1 = protocol::CanPara::Defaults();
    sections.can1.baudIndex = 3;
    sections.can2 = protocol::CanPara::Defaults();
    sections.can2.enable = 0;
    sections.sys.fileSizeMB = 32;
    sections.replay.ruleCount = 1;
    sections.replay.rules[0].times = 2;
    ASSERT_TRUE(protocol::WriteSettingsFile(Dir() + "/QXCfg.dat", sections));
    // Chosen the way a user would, through the environment.
    const std::string spec = "brindle:type=3,state=" + Dir() + "/device.dat";
    test::SetEnvironment("KELVIX_ADAPTER", spec);

    const test::CliResult write = Run({"--settings-dir", Dir(), "write"});
    ASSERT_EQ(write.status, cli::EXIT_OK) << write.out << write.err;
    const test::CliResult read = Run({"--settings-dir", Dir(), "read", "--json"});
    ASSERT_EQ(read.status, cli::EXIT_OK) << read.out << read.err;
    const auto json = nlohmann::json::parse(read.out);
    EXPECT_EQ(json["can1"]["baudIndex"], 3);
    EXPECT_EQ(json["can2"]["enable"], 0);
    EXPECT_EQ(json["sys"]["fileSizeMB"], 32);
    EXPECT_EQ(json["replay"]["ruleCount"], 1);
    EXPECT_EQ(json["replay"]["rules"][0]["times"], 2);
    EXPECT_EQ(json["identity"]["deviceType"], 3);
}

TEST_F(EndToEndTest, StreamedFirmwareImageArrivesWithTheSameHash) {
    std::vector<std::uint8_t> image(4099);
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 31 + (i >> 8));
    }
    const std::string path = Dir() + "/image.bin";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), static_cast<long>(image.size()));
    // The device lives on a named bus so that it outlasts the tool's adapter.
    auto bus = kelvix::VirtualCanBus::Named("brindle-end-to-end");
    std::string error;
    const auto config = sim::ParseDeviceConfig("erase-ms=0", error);
    ASSERT_TRUE(config) << error;
    sim::SimulatedDevice device(bus, *config, system.clock);

    const test::CliResult run =
        Run({"--adapter", "brindle:nodevice,bus=brindle-end-to-end", "upgrade", path});
    ASSERT_EQ(run.status, cli::EXIT_OK) << run.out << run.err;
    const std::uint64_t frames = (image.size() + 7) / 8;
    // The device takes the frames on its own thread; wait (bounded) for the last.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (device.Loader().FramesReceived() < frames &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    EXPECT_EQ(device.Loader().ImageLength(), image.size());
    EXPECT_EQ(device.Loader().Sha256Hex(), sim::Sha256::HexOf(image));
}

}  // namespace
}  // namespace brindle
