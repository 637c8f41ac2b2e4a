// quillon-cli diff and write --verify, in-process on the simulated device.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "dtu/DtuSettingsFile.hpp"
#include "frontends/cli/ExitCode.hpp"
#include "protocol/DtuBasicPara.hpp"
#include "protocol/SettingsFile.hpp"
#include "support/FakeSystem.hpp"
#include "tests/cli/InProcessCli.hpp"

namespace quillon::cli {
namespace {

namespace fs = std::filesystem;

class CompareCommandsTest : public ::testing::Test {
  protected:
    CompareCommandsTest() {
        sections.can1 = protocol::CanPara::Defaults();
        sections.can2 = protocol::CanPara::Defaults();
        sections.sys.fileSizeMB = 32;
    }
    test::CliResult Run(std::vector<std::string> args) {
        return test::RunCliInProcess(std::move(args), system.services);
    }
    std::string Save(const std::string& folder, protocol::SettingsSections s) {
        fs::create_directories(Dir() + "/" + folder);
        const std::string file = Dir() + "/" + folder + "/QXCfg.dat";
        EXPECT_TRUE(protocol::WriteSettingsFile(file, s));
        return file;
    }
    std::string Dir() const { return system.directory.Path().string(); }

    test::FakeSystem system;
    protocol::SettingsSections sections;
};

TEST_F(CompareCommandsTest, DiffOfTwoSettingsFilesPrintsOnlyWhatDiffers) {
    const std::string a = Save("a", sections);
    protocol::SettingsSections changed = sections;
    changed.can1.baudIndex = 5;
    changed.bridge.rules[2].srcId = 0x123;
    const std::string b = Save("b", changed);

    const auto same = Run({"diff", a, a});
    EXPECT_EQ(same.status, EXIT_OK) << same.err;
    EXPECT_EQ(same.out, "");

    const auto text = Run({"diff", a, b});
    EXPECT_EQ(text.status, EXIT_FAILED);
    EXPECT_EQ(text.out,
              "can1.baudIndex: 0 -> 5\n"
              "bridge.rules[2].srcId: 0 -> 291\n");

    const auto json = Run({"diff", a, b, "--json"});
    EXPECT_EQ(json.status, EXIT_FAILED);
    EXPECT_EQ(nlohmann::json::parse(json.out),
              nlohmann::json::parse(R"([{"field": "can1.baudIndex", "a": 0, "b": 5},
                                        {"field": "bridge.rules[2].srcId", "a": 0, "b": 291}])"));
}

TEST_F(CompareCommandsTest, DiffOfDtuFilesAndOfFilesOfTwoKinds) {
    protocol::DtuBasicPara basic{};
    basic.serverPort = 9000;
    auto bytes = basic.ToBytes();
    fs::create_directories(Dir() + "/a");
    fs::create_directories(Dir() + "/b");
    ASSERT_TRUE(dtu::SaveChecksummedRecord(Dir() + "/a/QXCfgDTU.dat", bytes));
    basic.serverPort = 9100;
    bytes = basic.ToBytes();
    ASSERT_TRUE(dtu::SaveChecksummedRecord(Dir() + "/b/QXCfgDTU.dat", bytes));

    const auto dtuDiff = Run({"diff", Dir() + "/a/QXCfgDTU.dat", Dir() + "/b/QXCfgDTU.dat"});
    EXPECT_EQ(dtuDiff.status, EXIT_FAILED);
    EXPECT_EQ(dtuDiff.out, "serverPort: 9000 -> 9100\n") << "the checksum is no field";

    const std::string settings = Save("c", sections);
    const auto kinds = Run({"diff", settings, Dir() + "/a/QXCfgDTU.dat"});
    EXPECT_EQ(kinds.status, EXIT_USAGE);
    EXPECT_NE(kinds.err.find("is QXCfg.dat, " + Dir() +
                             "/a/QXCfgDTU.dat is QXCfgDTU.dat; only "
                             "files of one kind compare"),
              std::string::npos)
        << kinds.err;
    EXPECT_EQ(Run({"diff", settings, Dir() + "/missing.dat"}).status, EXIT_BAD_FILE);
    EXPECT_EQ(Run({"diff", settings}).status, EXIT_USAGE);
    EXPECT_EQ(Run({"diff", settings, settings, "--device"}).status, EXIT_USAGE);
}

TEST_F(CompareCommandsTest, DiffWithTheDevice) {
    const std::string file = Save("cfg", sections);
    const std::string device = "sim:state=" + Dir() + "/device.state";
    ASSERT_EQ(Run({"--adapter", device, "--settings-dir", Dir() + "/cfg", "write"}).status,
              EXIT_OK);
    const auto same = Run({"--adapter", device, "diff", file, "--device"});
    EXPECT_EQ(same.status, EXIT_OK) << same.out << same.err;
    EXPECT_EQ(same.out, "");

    protocol::SettingsSections changed = sections;
    changed.sys.cyclicOverwrite = 1;
    changed.sys.sysOption = 7;  // not in a read: never a difference
    const std::string other = Save("other", changed);
    const auto differs = Run({"--adapter", device, "diff", other, "--device", "--json"});
    EXPECT_EQ(differs.status, EXIT_FAILED) << differs.err;
    EXPECT_EQ(
        nlohmann::json::parse(differs.out),
        nlohmann::json::parse(R"([{"field": "sys.cyclicOverwrite", "file": 1, "device": 0}])"));

    const auto silent =
        Run({"--adapter", "sim:nodevice", "diff", file, "--device", "--timeout-ms", "30"});
    EXPECT_EQ(silent.status, EXIT_TIMEOUT);
    EXPECT_NE(silent.err.find("quillon-cli diff: no completion from the device within 30 ms"),
              std::string::npos)
        << silent.err;
}

// The factory record a write sends without settings is the one a device that
// was never written holds: nothing differs, whether the write reached that
// device (no device on the bus of the first write) or not.
TEST_F(CompareCommandsTest, AFactoryWriteLeavesNothingToDiffWithAFreshDevice) {
    const std::string settings = Dir() + "/factory";
    fs::create_directories(settings);
    const std::string file = settings + "/QXCfg.dat";
    for (const std::string& written :
         {std::string("sim:nodevice"), "sim:state=" + Dir() + "/written.state"}) {
        SCOPED_TRACE(written);
        fs::remove(file);
        ASSERT_EQ(
            Run({"--adapter", written, "--settings-dir", settings, "write", "--defaults"}).status,
            EXIT_OK);
        const std::string fresh = written == "sim:nodevice" ? "sim:state=none" : written;
        const auto diff = Run({"--adapter", fresh, "diff", file, "--device"});
        EXPECT_EQ(diff.status, EXIT_OK) << diff.out << diff.err;
        EXPECT_EQ(diff.out, "");
    }
}

TEST_F(CompareCommandsTest, WriteVerifyReadsBackAndCompares) {
    Save("cfg", sections);
    const std::string cfg = Dir() + "/cfg";
    const auto ok = Run({"--settings-dir", cfg, "write", "--verify"});
    EXPECT_EQ(ok.status, EXIT_OK) << ok.out << ok.err;
    EXPECT_EQ(ok.out, "写入参数成功，请重启设备生效!\n");
    EXPECT_EQ(ok.err, "");

    const auto json = Run({"--settings-dir", cfg, "write", "--verify", "--json"});
    EXPECT_EQ(json.status, EXIT_OK) << json.err;
    EXPECT_EQ(json.out, "[]\n");
}

// Firmware 10 and older takes at most 10 recording rules: the write announces
// 10, and the read-back shows the device kept fewer than the file holds.
TEST_F(CompareCommandsTest, WriteVerifyReportsWhatTheDeviceDidNotKeep) {
    sections.can1.filterCount = 12;
    Save("cfg", sections);
    const auto run = Run({"--adapter", "sim:fw=10", "--settings-dir", Dir() + "/cfg", "write",
                          "--verify", "--json"});
    EXPECT_EQ(run.status, EXIT_FAILED) << run.err;
    EXPECT_EQ(
        nlohmann::json::parse(run.out),
        nlohmann::json::parse(R"([{"field": "can1.filterCount", "written": 12, "device": 10}])"));
    EXPECT_NE(run.err.find("quillon-cli write --verify: the device reports 1 field(s) other "
                           "than written"),
              std::string::npos);
}

TEST_F(CompareCommandsTest, WriteVerifyWithoutAnAnswerIsATimeout) {
    Save("cfg", sections);
    const auto run = Run({"--adapter", "sim:nodevice", "--settings-dir", Dir() + "/cfg", "write",
                          "--verify", "--timeout-ms", "30"});
    EXPECT_EQ(run.status, EXIT_TIMEOUT);
    EXPECT_NE(
        run.err.find("quillon-cli write --verify: no completion from the device within 30 ms"),
        std::string::npos)
        << run.err;
}

}  // namespace
}  // namespace quillon::cli
