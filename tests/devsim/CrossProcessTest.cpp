// End to end across processes: quillon-devsim on the loopback virtual CAN
// bus of Qt SerialBus in one process, quillon-cli writing, reading back (four
// times over) and upgrading a 64 KiB image through the same bus from others.
// One test only: the virtual bus is one per machine.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "protocol/SettingsFile.hpp"
#include "sim/Sha256.hpp"
#include "support/ChildProcess.hpp"
#include "support/FakeSystem.hpp"

namespace quillon::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* BUS = "qcanbus:virtualcan:can0,can1";
constexpr int DEVSIM_NO_BUS = 4;
constexpr std::size_t IMAGE_BYTES = 64 * 1024;

class CrossProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        devsim = std::make_unique<ChildProcess>(
            QUILLON_DEVSIM_PATH,
            std::vector<std::string>{"--bus", BUS, "--type", "3", "--erase-ms", "200"});
        ASSERT_TRUE(devsim->Started()) << devsim->Output();
        if (!devsim->WaitForLine("ready", 20s)) {
            const auto status = devsim->WaitForExit(5s);
            if (status == DEVSIM_NO_BUS) {
                GTEST_SKIP() << "the virtualcan plugin cannot start here: " << devsim->Output();
            }
            FAIL() << "quillon-devsim did not get ready: " << devsim->Output();
        }
    }
    void TearDown() override {
        if (devsim) {
            EXPECT_EQ(devsim->Stop(10s), 0) << devsim->Output();
        }
    }

    // Runs quillon-cli on the bus to its end, within `timeout`.
    std::pair<int, std::string> Cli(std::vector<std::string> args,
                                    std::chrono::milliseconds timeout = 60s) {
        args.insert(args.begin(), {"--adapter", BUS, "--settings-dir", dir.Path().string()});
        ChildProcess cli(QUILLON_CLI_PATH, args);
        const auto status = cli.WaitForExit(timeout);
        return {status.value_or(-1), cli.Output()};
    }

    TempDir dir;
    std::unique_ptr<ChildProcess> devsim;
};

protocol::SettingsSections WrittenSettings() {
    protocol::SettingsSections sections;
    sections.can1 = protocol::CanPara::Defaults();
    sections.can1.baudIndex = 3;
    sections.can2 = protocol::CanPara::Defaults();
    sections.can2.enable = 0;
    sections.can2.baudIndex = 5;
    sections.sys.fileSizeMB = 32;
    sections.replay.ruleCount = 1;
    sections.replay.repeatAll = 5;
    sections.replay.rules[0].times = 2;
    sections.replay.rules[0].fileName = {'l', 'o', 'g', '1'};
    return sections;
}

std::vector<std::uint8_t> Image() {
    std::vector<std::uint8_t> image(IMAGE_BYTES);
    std::uint32_t state = 0x12345678;
    for (auto& byte : image) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(state >> 16);
    }
    return image;
}

TEST_F(CrossProcessTest, WriteReadBackAndUpgradeThroughTheVirtualCanBus) {
    auto written = WrittenSettings();
    ASSERT_TRUE(protocol::WriteSettingsFile(dir.Path() / "QXCfg.dat", written));
    const auto [writeStatus, writeOutput] = Cli({"write"});
    ASSERT_EQ(writeStatus, 0) << writeOutput;
    const auto applied = devsim->WaitForLine("parameter write applied", 10s);
    ASSERT_TRUE(applied) << devsim->Output();
    EXPECT_NE(applied->find("CAN1 enable=1 baudIndex=3, CAN2 enable=0 baudIndex=5, fileSizeMB=32"),
              std::string::npos)
        << *applied;

    const auto [readStatus, readOutput] = Cli({"read", "--json"});
    ASSERT_EQ(readStatus, 0) << readOutput;
    const auto json = nlohmann::json::parse(readOutput.substr(readOutput.find('{')));
    EXPECT_EQ(json["can1"]["baudIndex"], 3);
    EXPECT_EQ(json["can2"]["enable"], 0);
    EXPECT_EQ(json["can2"]["baudIndex"], 5);
    EXPECT_EQ(json["sys"]["fileSizeMB"], 32);
    EXPECT_EQ(json["replay"]["rules"][0]["fileName"], "log1");
    EXPECT_EQ(json["replay"]["repeatAll"], 5);
    EXPECT_EQ(json["identity"]["deviceType"], 3);

    // The same device through more runs: every write after a read is applied
    // too, and every read returns the write before it.
    const std::uint8_t baudIndexes[] = {5, 1, 6};
    const std::uint16_t fileSizes[] = {64, 8, 100};
    for (std::size_t run = 0; run < std::size(baudIndexes); ++run) {
        SCOPED_TRACE("write " + std::to_string(run + 2));
        written.can1.baudIndex = baudIndexes[run];
        written.sys.fileSizeMB = fileSizes[run];
        ASSERT_TRUE(protocol::WriteSettingsFile(dir.Path() / "QXCfg.dat", written));
        const auto [status, output] = Cli({"write"});
        ASSERT_EQ(status, 0) << output;
        const std::string applied = "parameter write applied (" + std::to_string(run + 2);
        ASSERT_TRUE(devsim->WaitForLine(applied, 10s)) << devsim->Output();
        const auto [againStatus, againOutput] = Cli({"read", "--json"});
        ASSERT_EQ(againStatus, 0) << againOutput;
        const auto again = nlohmann::json::parse(againOutput.substr(againOutput.find('{')));
        EXPECT_EQ(again["can1"]["baudIndex"], baudIndexes[run]);
        EXPECT_EQ(again["can2"]["baudIndex"], 5);
        EXPECT_EQ(again["sys"]["fileSizeMB"], fileSizes[run]);
    }

    const auto image = Image();
    {
        std::ofstream file(dir.Path() / "image.bin", std::ios::binary);
        file.write(reinterpret_cast<const char*>(image.data()), std::ssize(image));
    }
    const auto [upgradeStatus, upgradeOutput] =
        Cli({"upgrade", (dir.Path() / "image.bin").string()}, 120s);
    ASSERT_EQ(upgradeStatus, 0) << upgradeOutput;
    const auto received = devsim->WaitForLine("upgrade: image received", 10s);
    ASSERT_TRUE(received) << devsim->Output();
    EXPECT_EQ(*received, "upgrade: image received, 65536 bytes in 8192 frames, sha256 " +
                             sim::Sha256::HexOf(image));
}

}  // namespace
}  // namespace quillon::test
