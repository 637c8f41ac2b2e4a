// quillon-cli on a simulated adapter that refuses frame K and every later one
// (sim:refuse=K): the failure box as an error and nothing else, exit status 1, exactly
// K-1 frames on the trace, and settings files as a successful write leaves them.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "frontends/cli/ExitCode.hpp"
#include "protocol/SettingsFile.hpp"
#include "support/FakeSystem.hpp"
#include "tests/cli/InProcessCli.hpp"

namespace quillon::cli {
namespace {

constexpr const char* FAILED_TEXT = "写入参数失败，请检查设备是否连接正常!";
/// The DTU write of the default DTU settings, sent ahead of the parameter frames.
constexpr std::size_t DTU_FRAMES = 30;
/// A record with every table empty.
constexpr std::size_t PARAMETER_FRAMES = 93;
/// A 200-byte image: erase, program and 25 data frames.
constexpr std::size_t UPGRADE_FRAMES = 27;

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string FailedLine(const std::string& command) {
    return "quillon-cli " + command + ": error: " + FAILED_TEXT;
}

// Lines of the error stream that report a message box as a warning or an
// error; a success's box would stand bare on the output instead.
std::vector<std::string> BoxLines(const test::CliResult& run, const std::string& command) {
    std::vector<std::string> boxes;
    std::istringstream lines(run.err);
    for (std::string line; std::getline(lines, line);) {
        for (const char* kind : {": warning: ", ": error: "}) {
            if (line.starts_with("quillon-cli " + command + kind)) {
                boxes.push_back(line);
            }
        }
    }
    std::istringstream out(run.out);
    for (std::string line; std::getline(out, line);) {
        EXPECT_NE(line, FAILED_TEXT) << "a failure's box on the output";
    }
    return boxes;
}

// Transmitted frames on a trace: candump lines ending in " T".
std::size_t TransmittedLines(const std::filesystem::path& trace) {
    std::istringstream lines(ReadAll(trace));
    std::size_t count = 0;
    for (std::string line; std::getline(lines, line);) {
        count += line.ends_with(" T") ? 1 : 0;
    }
    return count;
}

class RefusedFrameCliTest : public ::testing::TestWithParam<std::size_t> {
  protected:
    void SetUp() override {
        protocol::SettingsSections sections;
        ASSERT_TRUE(protocol::WriteSettingsFile(Dir() / "QXCfg.dat", sections));
    }
    void TearDown() override { kelvix::CloseAllAdapters(); }

    std::filesystem::path Dir() const { return system.directory.Path(); }
    std::filesystem::path Trace() const { return Dir() / "bus.log"; }
    test::CliResult Run(std::vector<std::string> args, std::istream& in) {
        return test::RunCliInProcess(std::move(args), system.services, in);
    }
    test::CliResult Run(std::vector<std::string> args) {
        std::istringstream nothing;
        return Run(std::move(args), nothing);
    }
    test::CliResult RunRefusing(std::size_t k, std::vector<std::string> command, std::istream& in) {
        std::vector<std::string> args = {
            "--adapter",      "sim:erase-ms=0,refuse=" + std::to_string(k),
            "--settings-dir", Dir().string(),
            "--trace",        Trace().string()};
        args.insert(args.end(), command.begin(), command.end());
        return Run(std::move(args), in);
    }
    std::map<std::string, std::string> SettingsFiles() const {
        std::map<std::string, std::string> files;
        for (const char* name : {"QXCfg.dat", "QXCfgDTU.dat", "QXCfgDTUHL.dat"}) {
            files[name] = ReadAll(Dir() / name);
        }
        return files;
    }
    std::string WriteImage() const {
        const auto path = Dir() / "image.bin";
        std::ofstream file(path, std::ios::binary);
        for (int i = 0; i < 200; ++i) {
            file.put(static_cast<char>(i * 3));
        }
        return path.string();
    }

    test::FakeSystem system;
};

TEST_F(RefusedFrameCliTest, RefuseFiveFailsTheWriteWithFourFramesOnTheTrace) {
    std::istringstream nothing;
    const auto run = RunRefusing(5, {"write"}, nothing);
    EXPECT_EQ(run.status, EXIT_FAILED) << run.out << run.err;
    EXPECT_EQ(BoxLines(run, "write"),
              (std::vector<std::string>{FailedLine("write"), FailedLine("write")}))
        << "the DTU write's box, then the parameter write's at its opening frame";
    EXPECT_EQ(TransmittedLines(Trace()), 4u);
}

class RefusedWriteCliTest : public RefusedFrameCliTest {};

TEST_P(RefusedWriteCliTest, FailsAloneAndLeavesTheFilesAsAWholeWrite) {
    const std::size_t refused = GetParam();
    std::istringstream nothing;
    const auto run = RunRefusing(refused, {"write"}, nothing);
    EXPECT_EQ(run.status, EXIT_FAILED) << run.out << run.err;
    const std::size_t boxes = refused <= DTU_FRAMES ? 2 : 1;
    EXPECT_EQ(BoxLines(run, "write"), std::vector<std::string>(boxes, FailedLine("write")));
    EXPECT_EQ(TransmittedLines(Trace()), refused - 1);
    const auto afterFailure = SettingsFiles();

    const auto whole = Run({"--settings-dir", Dir().string(), "write"});
    ASSERT_EQ(whole.status, EXIT_OK) << whole.out << whole.err;
    EXPECT_EQ(afterFailure, SettingsFiles());
}

INSTANTIATE_TEST_SUITE_P(Positions, RefusedWriteCliTest,
                         ::testing::Values(1, 5, DTU_FRAMES, DTU_FRAMES + 1, DTU_FRAMES + 2,
                                           DTU_FRAMES + 44, DTU_FRAMES + 86,
                                           DTU_FRAMES + PARAMETER_FRAMES),
                         [](const auto& info) { return "Frame" + std::to_string(info.param); });

class RefusedUpgradeCliTest : public RefusedFrameCliTest {};

TEST_P(RefusedUpgradeCliTest, FailsAloneAndSendsNothingAfter) {
    const std::size_t refused = GetParam();
    std::istringstream nothing;
    const auto run = RunRefusing(refused, {"upgrade", WriteImage()}, nothing);
    EXPECT_EQ(run.status, EXIT_FAILED) << run.out << run.err;
    EXPECT_EQ(BoxLines(run, "upgrade"), std::vector<std::string>{FailedLine("upgrade")});
    EXPECT_EQ(TransmittedLines(Trace()), refused - 1);
}

INSTANTIATE_TEST_SUITE_P(Positions, RefusedUpgradeCliTest,
                         ::testing::Values(1, 2, 3, 14, UPGRADE_FRAMES),
                         [](const auto& info) { return "Frame" + std::to_string(info.param); });

class RefusedDebugCliTest : public RefusedFrameCliTest {};

// 20 characters and CR LF: frames of 8, 8 and 6 bytes.
TEST_P(RefusedDebugCliTest, FailsAloneAndSendsNothingAfter) {
    const std::size_t refused = GetParam();
    std::istringstream typed("0123456789abcdefghij\nnever sent\n");
    const auto run = RunRefusing(refused, {"debug", "--drain-ms", "0"}, typed);
    EXPECT_EQ(run.status, EXIT_FAILED) << run.out << run.err;
    EXPECT_EQ(BoxLines(run, "debug"), std::vector<std::string>{FailedLine("debug")});
    EXPECT_EQ(TransmittedLines(Trace()), refused - 1);
}

INSTANTIATE_TEST_SUITE_P(Positions, RefusedDebugCliTest, ::testing::Values(1, 2, 3),
                         [](const auto& info) { return "Frame" + std::to_string(info.param); });

}  // namespace
}  // namespace quillon::cli
