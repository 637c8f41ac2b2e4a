// quillon-cli run in-process on fake system services and the simulated device.
#include <gtest/gtest.h>

#include "tests/cli/InProcessCli.hpp"

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "frontends/cli/CliApp.hpp"
#include "frontends/cli/ExitCode.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "protocol/SettingsFile.hpp"
#include "support/FakeSystem.hpp"

namespace quillon::cli {
namespace {

class CliTest : public ::testing::Test {
  protected:
    void TearDown() override { kelvix::CloseAllAdapters(); }

    test::CliResult Run(std::vector<std::string> args) {
        return test::RunCliInProcess(std::move(args), system.services);
    }
    std::string Dir() const { return system.directory.Path().string(); }
    std::string DeviceSpec() const { return "sim:type=3,state=" + Dir() + "/device.dat"; }

    test::FakeSystem system;
};

TEST_F(CliTest, WriteThenReadRoundTripsTheSettingsThroughTheDevice) {
    protocol::SettingsSections sections;
    sections.can1 = protocol::CanPara::Defaults();
    sections.can1.baudIndex = 3;
    sections.can2 = protocol::CanPara::Defaults();
    sections.can2.enable = 0;
    sections.sys.fileSizeMB = 32;
    sections.replay.ruleCount = 1;
    sections.replay.repeatAll = 5;
    sections.replay.rules[0].times = 2;
    sections.replay.rules[0].fileName = {'l', 'o', 'g', '1'};
    ASSERT_TRUE(protocol::WriteSettingsFile(Dir() + "/QXCfg.dat", sections));

    const auto write = Run({"--adapter", DeviceSpec(), "--settings-dir", Dir(), "write"});
    ASSERT_EQ(write.status, EXIT_OK) << write.out << write.err;
    EXPECT_NE(write.out.find("[警告] 写入参数成功，请重启设备生效!"), std::string::npos);

    const auto read = Run({"--adapter", DeviceSpec(), "--settings-dir", Dir(), "read", "--json"});
    ASSERT_EQ(read.status, EXIT_OK) << read.err;
    const auto json = nlohmann::json::parse(read.out);
    EXPECT_EQ(json["can1"]["baudIndex"], 3);
    EXPECT_EQ(json["can1"]["btr0"], 0x07) << "fixed rate: registers from the table";
    EXPECT_EQ(json["can2"]["enable"], 0);
    EXPECT_EQ(json["sys"]["fileSizeMB"], 32);
    EXPECT_EQ(json["replay"]["ruleCount"], 1);
    EXPECT_EQ(json["replay"]["repeatAll"], 5);
    EXPECT_EQ(json["replay"]["rules"][0]["fileName"], "log1");
    EXPECT_EQ(json["replay"]["rules"][0]["times"], 2);
    EXPECT_EQ(json["identity"]["deviceType"], 3);
    EXPECT_EQ(json["identity"]["deviceTypeName"], "CAN回放仪");
    EXPECT_EQ(json["identity"]["serial"], "514C4E002026120700000001");
    EXPECT_EQ(json["identity"]["firmwareVersion"], 11);
    EXPECT_EQ(json["filters1"]["matchValue"].size(), 14u);
    EXPECT_EQ(json["can1"]["filters"].size(), 20u);
}

// The global options may come before or after the command; --json is one of
// them, and a command without a JSON form says so rather than ignoring it.
TEST_F(CliTest, GlobalOptionsFollowTheCommandAndJsonIsRefusedWhereThereIsNone) {
    const auto before = Run({"--json", "--adapter", DeviceSpec(), "read"});
    const auto after = Run({"read", "--adapter", DeviceSpec(), "--json"});
    ASSERT_EQ(before.status, EXIT_OK) << before.err;
    EXPECT_EQ(after.status, EXIT_OK) << after.err;
    EXPECT_EQ(after.out, before.out);
    EXPECT_EQ(before.out.front(), '{');
    for (const std::string command :
         {"storage-init", "session", "debug", "demo", "enter-upgrade"}) {
        const auto run = Run({command, "--json"});
        EXPECT_EQ(run.status, EXIT_USAGE) << command;
        EXPECT_EQ(run.err, "quillon-cli " + command + ": has no JSON output\n");
        EXPECT_EQ(run.out, "") << "refused before anything ran";
    }
}

TEST_F(CliTest, ReadSaveCopiesTheDeviceConfiguration) {
    const std::string other = Dir() + "/copy";
    std::filesystem::create_directories(other);
    ASSERT_EQ(Run({"--adapter", DeviceSpec(), "--settings-dir", other, "read", "--save"}).status,
              EXIT_OK);
    const auto shown = Run({"show", other + "/QXCfg.dat", "--json"});
    ASSERT_EQ(shown.status, EXIT_OK) << shown.err;
    const auto json = nlohmann::json::parse(shown.out);
    for (const char* key : {"can1", "can2", "sys", "filters1", "filters2", "bridge", "replay"}) {
        EXPECT_EQ(json[key]["checksumOk"], true) << key;
    }
    EXPECT_EQ(json["can1"]["btr1"], 0x3C);
}

TEST_F(CliTest, ShowReportsEachSectionsChecksumAsStored) {
    protocol::SettingsSections sections;
    sections.bridge.ruleCount = 3;
    ASSERT_TRUE(protocol::WriteSettingsFile(Dir() + "/QXCfg.dat", sections));
    {
        std::fstream file(Dir() + "/QXCfg.dat", std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(1380 + 5);
        file.put('\x42');
    }
    const auto shown = Run({"show", Dir() + "/QXCfg.dat", "--json"});
    const auto json = nlohmann::ordered_json::parse(shown.out);
    EXPECT_EQ(json["replay"]["checksumOk"], false);
    EXPECT_EQ(json["bridge"]["checksumOk"], true);
    EXPECT_EQ(json["bridge"]["ruleCount"], 3) << "no fallback is applied";
    EXPECT_EQ(json["bridge"]["rules"].size(), 10u);
    EXPECT_EQ(json["bridge"]["rules"][0]["srcData"].size(), 8u);
    const std::vector<std::string> keys = {"checksumOk", "enable",      "baudIndex",
                                           "btr0",       "btr1",        "workMode",
                                           "acceptAll",  "filterCount", "filters"};
    std::vector<std::string> actual;
    for (const auto& [key, value] : json["can1"].items()) {
        actual.push_back(key);
    }
    EXPECT_EQ(actual, keys);
}

TEST_F(CliTest, ShowReportsACorruptSystemSectionAsStored) {
    protocol::SettingsSections sections;
    sections.sys.fileSizeMB = 64;
    ASSERT_TRUE(protocol::WriteSettingsFile(Dir() + "/QXCfg.dat", sections));
    {
        std::fstream file(Dir() + "/QXCfg.dat", std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(656 + 4);  // sysOption
        file.put('\x42');
    }
    const auto json = nlohmann::json::parse(Run({"show", Dir() + "/QXCfg.dat", "--json"}).out);
    EXPECT_EQ(json["sys"]["checksumOk"], false);
    EXPECT_EQ(json["sys"]["fileSizeMB"], 64) << "the stored bytes, not the program's fallback";
    EXPECT_EQ(json["sys"]["sysOption"], 0x42);
}

TEST_F(CliTest, FailuresGiveDistinctExitStatuses) {
    EXPECT_EQ(Run({"show", Dir() + "/missing.dat"}).status, EXIT_BAD_FILE);
    EXPECT_EQ(Run({"--index", "12", "read"}).status, EXIT_USAGE);
    EXPECT_EQ(Run({"frobnicate"}).status, EXIT_USAGE);
    const auto noAdapter = Run({"--adapter", "nosuch", "read"});
    EXPECT_EQ(noAdapter.status, EXIT_NO_ADAPTER);
    EXPECT_NE(noAdapter.err.find("unknown adapter backend"), std::string::npos);
    EXPECT_EQ(Run({"--adapter", "sim:nodevice", "read", "--timeout-ms", "20"}).status,
              EXIT_TIMEOUT);
}

TEST_F(CliTest, StorageInitNeedsConfirmationAndReportsTheDevicesAnswer) {
    EXPECT_EQ(Run({"--adapter", "sim:storage-delay-ms=0", "storage-init"}).status, EXIT_USAGE);
    const auto ok = Run({"--adapter", "sim:storage-delay-ms=0", "storage-init", "--yes"});
    EXPECT_EQ(ok.status, EXIT_OK) << ok.out;
    EXPECT_NE(ok.out.find("[恭喜] 初始化SD卡成功"), std::string::npos);
    EXPECT_EQ(Run({"--adapter", "sim:storage-delay-ms=0,storage-result=0", "storage-init", "--yes"})
                  .status,
              EXIT_FAILED);
}

// Runs python-can's log reader over `trace`; returns the number of frames or -1.
int CountWithPythonCan(const std::string& trace) {
    const std::string command =
        "/usr/bin/python3 -c \"import can,sys; print(sum(1 for m in "
        "can.CanutilsLogReader(sys.argv[1])))\" " +
        trace;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return -1;
    }
    int count = -1;
    if (std::fscanf(pipe, "%d", &count) != 1) {
        count = -1;
    }
    ::pclose(pipe);
    return count;
}

TEST_F(CliTest, TraceOfAWriteIsDecodedAndReadByPythonCan) {
    const std::string trace = Dir() + "/write.log";
    ASSERT_EQ(Run({"--settings-dir", Dir(), "--trace", trace, "write", "--defaults"}).status,
              EXIT_OK);
    const auto decoded = Run({"decode", trace, "--json"});
    ASSERT_EQ(decoded.status, EXIT_OK) << decoded.err;
    std::istringstream lines(decoded.out);
    std::string line;
    int frames = 0;
    bool sawOpening = false;
    while (std::getline(lines, line)) {
        const auto row = nlohmann::ordered_json::parse(line);
        ++frames;
        std::vector<std::string> keys;
        for (const auto& [key, value] : row.items()) {
            keys.push_back(key);
        }
        ASSERT_EQ(keys, (std::vector<std::string>{"channel", "id", "extended", "remote",
                                                  "direction", "dlc", "data", "meaning"}));
        if (row["id"] == 8 && row["extended"] == false && row["dlc"] == 8) {
            EXPECT_EQ(row["data"], "01FFFFFFFFFFFFFF") << "deciphered with the firmware key";
            sawOpening = true;
        }
    }
    EXPECT_TRUE(sawOpening);
    if (std::system("/usr/bin/python3 -c 'import can' >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "python3-can is not installed";
    }
    EXPECT_EQ(CountWithPythonCan(trace), frames);
}

}  // namespace
}  // namespace quillon::cli

namespace quillon::cli {
namespace {

class CliUpgradeTest : public CliTest {
  protected:
    std::string WriteImage(std::size_t bytes) {
        const std::string path = Dir() + "/image.bin";
        std::ofstream file(path, std::ios::binary);
        for (std::size_t i = 0; i < bytes; ++i) {
            file.put(static_cast<char>(i * 7));
        }
        return path;
    }
};

TEST_F(CliUpgradeTest, JsonEventsFollowPhasesAndPercentages) {
    const auto image = WriteImage(20);
    const auto run = Run({"--adapter", "sim:erase-ms=0", "upgrade", image, "--json"});
    ASSERT_EQ(run.status, EXIT_OK) << run.out << run.err;
    std::istringstream lines(run.out);
    std::string line;
    std::vector<std::string> writing;
    std::string last;
    while (std::getline(lines, line)) {
        const auto event = nlohmann::ordered_json::parse(line);
        if (event["phase"] == "writing") {
            writing.push_back(event.dump());
        }
        last = event["phase"];
    }
    EXPECT_EQ(writing, (std::vector<std::string>{
                           R"({"phase":"writing","percent":0,"bytesSent":0,"framesSent":0})",
                           R"({"phase":"writing","percent":40,"bytesSent":8,"framesSent":1})",
                           R"({"phase":"writing","percent":80,"bytesSent":16,"framesSent":2})",
                           R"({"phase":"writing","percent":100,"bytesSent":20,"framesSent":3})"}));
    EXPECT_EQ(last, "done");
    EXPECT_EQ(system.sleeper.CountOf(160), 50u) << "the erase wait ran on fake time";
}

TEST_F(CliUpgradeTest, SuccessEndsWithWhatTheStatusLineAsksOfTheUser) {
    const auto image = WriteImage(20);
    const auto run = Run({"--adapter", "sim:erase-ms=0", "upgrade", image});
    ASSERT_EQ(run.status, EXIT_OK) << run.out << run.err;
    ASSERT_GE(run.out.size(), 1u);
    const std::string lastLine = run.out.substr(run.out.rfind('\n', run.out.size() - 2) + 1);
    EXPECT_EQ(lastLine, "请给设备重新上电\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(CliUpgradeTest, MissingImageIsABadInputFileAndNothingIsSent) {
    const std::string trace = Dir() + "/bus.log";
    const auto run = Run({"--trace", trace, "upgrade", Dir() + "/nope.bin"});
    EXPECT_EQ(run.status, EXIT_BAD_FILE);
    EXPECT_EQ(run.err, "quillon-cli upgrade: cannot open " + Dir() +
                           "/nope.bin: No such file or directory\n");
    EXPECT_FALSE(std::filesystem::exists(trace)) << "the adapter was never opened";
}

TEST_F(CliUpgradeTest, EnterUpgradeInitialisesTheChannelWithoutRestartingTheTool) {
    const auto run = Run({"enter-upgrade"});
    EXPECT_EQ(run.status, EXIT_OK) << run.out << run.err;
    EXPECT_TRUE(system.launcher.Attempts().empty());
}

TEST_F(CliUpgradeTest, DemoWalksThroughReadWriteCompareAndUpgrade) {
    const auto run = Run({"--adapter", "sim:erase-ms=0", "--settings-dir", Dir(), "demo"});
    EXPECT_EQ(run.status, EXIT_OK) << run.out << run.err;
    EXPECT_NE(run.out.find("参数写入/读回: 一致"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("演示完成。"), std::string::npos);
}

}  // namespace
}  // namespace quillon::cli

namespace quillon::cli {
namespace {

// The default simulated device remembers itself in the state directory, which
// every test has to itself (XDG_STATE_HOME).
class CliStateTest : public CliTest {
  protected:
    static std::filesystem::path StateFile() {
        return std::filesystem::path(std::getenv("XDG_STATE_HOME")) / "quillon" /
               "sim-type1-514C4E002026120700000001.state";
    }
};

TEST_F(CliStateTest, WriteThenReadShowsTheWrittenValuesOnTheDefaultDevice) {
    protocol::SettingsSections sections;
    sections.can1 = protocol::CanPara::Defaults();
    sections.can1.baudIndex = 5;
    sections.can2 = protocol::CanPara::Defaults();
    sections.sys.fileSizeMB = 64;
    ASSERT_TRUE(protocol::WriteSettingsFile(Dir() + "/QXCfg.dat", sections));
    ASSERT_EQ(Run({"--adapter", "sim", "--settings-dir", Dir(), "write"}).status, EXIT_OK);
    EXPECT_TRUE(std::filesystem::is_regular_file(StateFile()));

    const auto read = Run({"--adapter", "sim", "read", "--json"});
    ASSERT_EQ(read.status, EXIT_OK) << read.err;
    EXPECT_EQ(nlohmann::json::parse(read.out)["can1"]["baudIndex"], 5);
    EXPECT_EQ(nlohmann::json::parse(read.out)["sys"]["fileSizeMB"], 64);

    const auto fresh = Run({"--adapter", "sim:state=none", "read", "--json"});
    ASSERT_EQ(fresh.status, EXIT_OK) << fresh.err;
    EXPECT_EQ(nlohmann::json::parse(fresh.out)["can1"]["baudIndex"],
              protocol::CanPara::Defaults().baudIndex);
    EXPECT_EQ(nlohmann::json::parse(fresh.out)["sys"]["fileSizeMB"], 16);

    const auto other = Run({"--adapter", "sim:type=2", "read", "--json"});
    EXPECT_EQ(nlohmann::json::parse(other.out)["sys"]["fileSizeMB"], 16)
        << "another type is another device";
}

TEST_F(CliStateTest, DamagedStateFileWarnsAndReadsAFreshDevice) {
    std::filesystem::create_directories(StateFile().parent_path());
    std::ofstream(StateFile(), std::ios::binary) << "not a device";
    const auto read = Run({"--adapter", "sim", "read", "--json"});
    ASSERT_EQ(read.status, EXIT_OK) << read.err;
    EXPECT_EQ(read.err, "quillon-cli: warning: state file " + StateFile().string() +
                            ": not a device state file (12 bytes, expected 2200); the simulated "
                            "device starts fresh\n");
    EXPECT_EQ(nlohmann::json::parse(read.out)["sys"]["fileSizeMB"], 16);
}

}  // namespace
}  // namespace quillon::cli
