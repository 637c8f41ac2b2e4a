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
#include "support/Environment.hpp"
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
    EXPECT_EQ(write.out, "写入参数成功，请重启设备生效!\n");

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

// Firmware 10 or older is told of at most ten recording rules a channel, and
// a device never read counts as such: a write of more identifies the device
// first, and its replies must not change the record being written.
TEST_F(CliTest, WriteOfMoreThanTenRulesIdentifiesTheDeviceFirst) {
    protocol::SettingsSections sections;
    sections.can1 = protocol::CanPara::Defaults();
    sections.can2 = protocol::CanPara::Defaults();
    sections.can2.filterCount = 12;
    for (std::size_t k = 0; k < 12; ++k) {
        sections.can2.filters[k] = {1,
                                    0,
                                    0,
                                    2,
                                    static_cast<std::uint32_t>(0x100 + k),
                                    static_cast<std::uint32_t>(0x17F + k),
                                    0};
    }
    sections.sys.fileSizeMB = 32;
    ASSERT_TRUE(protocol::WriteSettingsFile(Dir() + "/QXCfg.dat", sections));
    const std::string identifying =
        "quillon-cli write: a channel holds more than 10 recording rules; identifying the device "
        "first\n";
    struct Row {
        const char* name;
        const char* firmware;
        int status;
        std::string err;
    };
    const Row rows[] = {
        {"new firmware", "11", EXIT_OK, identifying},
        {"old firmware", "10", EXIT_FAILED,
         identifying +
             "quillon-cli write: warning: CAN2 有 12 条记录规则，只告知设备 10 条（设备固件版本 "
             "Ver_10 只接受 10 条）\nquillon-cli write --verify: the device reports 1 field(s) "
             "other than written\n"},
    };
    for (const auto& row : rows) {
        const auto run = Run({"--adapter", std::string("sim:state=none,fw=") + row.firmware,
                              "--settings-dir", Dir(), "write", "--verify"});
        EXPECT_EQ(run.status, row.status) << row.name << run.out;
        EXPECT_EQ(run.err, row.err) << row.name;
        const bool cut = run.out.find("can2.filterCount: 12 -> 10") != std::string::npos;
        EXPECT_EQ(cut, row.status != EXIT_OK) << row.name << run.out;
        protocol::SettingsSections saved;
        protocol::ReadSettingsFile(Dir() + "/QXCfg.dat", saved);
        EXPECT_EQ(saved.sys.fileSizeMB, 32u)
            << row.name << ": the identification's system reply reached the record";
        EXPECT_EQ(saved.can2.filterCount, 12u) << row.name;
        EXPECT_EQ(saved.can2.filters, sections.can2.filters) << row.name;
    }
}

TEST_F(CliTest, UsageMistakesAreNamed) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::string err;
    };
    const Row rows[] = {
        {"misspelt command",
         {"raed"},
         "quillon-cli: unknown command 'raed'; did you mean 'read'? (quillon-cli --help lists "
         "the commands)\n"},
        {"misspelt after a global option",
         {"--adapter", "sim", "wirte", "--json"},
         "quillon-cli: unknown command 'wirte'; did you mean 'write'? (quillon-cli --help lists "
         "the commands)\n"},
        {"nothing like a command",
         {"frobnicate"},
         "quillon-cli: unknown command 'frobnicate' (quillon-cli --help lists the commands)\n"},
        {"global flag with a value",
         {"--json=0", "read"},
         "quillon-cli: --json is a flag and takes no value (got --json=0)\n"},
        {"command flag with a value",
         {"write", "--verify=yes"},
         "quillon-cli: --verify is a flag and takes no value (got --verify=yes)\n"},
    };
    for (const auto& row : rows) {
        const auto run = Run(row.args);
        EXPECT_EQ(run.status, EXIT_USAGE) << row.name;
        EXPECT_EQ(run.err, row.err) << row.name;
    }
    const auto help = Run({"read", "--help"});
    EXPECT_NE(help.out.find("quillon-cli --adapter sim:type=2,fw=11 read --json"),
              std::string::npos)
        << help.out;
    EXPECT_EQ(help.out.find("upgrade firmware.bin"), std::string::npos) << "another's example";
    const auto all = Run({"--help"});
    EXPECT_NE(all.out.find("quillon-cli upgrade firmware.bin --json"), std::string::npos);
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
    EXPECT_EQ(
        ok.out,
        "[Quillon] 确认初始化？ -> 是\n初次初始化大概需要1分钟时间，请耐心等待!\n初始化SD卡成功\n");
    EXPECT_EQ(ok.err, "");
    const auto refused =
        Run({"--adapter", "sim:storage-delay-ms=0,storage-result=0", "storage-init", "--yes"});
    EXPECT_EQ(refused.status, EXIT_FAILED);
    EXPECT_EQ(refused.err, "quillon-cli storage-init: error: 初始化SD卡失败\n");
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

// A trace without one frame in it is a bad file, not a quiet success.
TEST_F(CliTest, DecodeOfAFileWithoutACandumpLineSaysSo) {
    const std::string frame = "(1700000000.000000) can0 008#01FFFFFFFFFFFFFF T\n";
    const struct {
        const char* name;
        std::string text;
        int status;
        std::string err;
    } rows[] = {
        {"empty", "", EXIT_BAD_FILE, "quillon-cli decode: TRACE holds no candump line\n"},
        {"blank lines", "\n  \n", EXIT_BAD_FILE,
         "quillon-cli decode: TRACE holds no candump line\n"},
        {"other text", "hello\n", EXIT_BAD_FILE,
         "TRACE:1: not a frame line, skipped\nquillon-cli decode: TRACE holds no candump line\n"},
        {"one frame after other text", "hello\n" + frame, EXIT_OK,
         "TRACE:1: not a frame line, skipped\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string trace = Dir() + "/trace.log";
        std::ofstream(trace, std::ios::binary) << row.text;
        const auto decoded = Run({"decode", trace});
        EXPECT_EQ(decoded.status, row.status);
        std::string err = row.err;
        for (std::size_t at; (at = err.find("TRACE")) != std::string::npos;) {
            err.replace(at, 5, trace);
        }
        EXPECT_EQ(decoded.err, err);
        EXPECT_EQ(decoded.out.empty(), row.status != EXIT_OK) << decoded.out;
    }
}

}  // namespace
}  // namespace quillon::cli

namespace quillon::cli {
namespace {

// SHA-256 of the 20-byte image WriteImage makes (byte i = 7i), worked out apart.
constexpr const char* IMAGE_20_SHA256 =
    "e9d7589f94fb2e2608a4535804ad1361316cc7c02e13c8d6a297142ada611bcc";

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
    std::vector<std::uint64_t> eraseWait;
    std::string last;
    nlohmann::ordered_json summary;
    while (std::getline(lines, line)) {
        const auto event = nlohmann::ordered_json::parse(line);
        if (!event.contains("phase")) {
            summary = event;
            continue;
        }
        if (event["phase"] == "writing") {
            writing.push_back(event.dump());
        }
        if (event["phase"] == "erasing") {
            eraseWait.push_back(event["waitLeftMs"]);
        }
        last = event["phase"];
    }
    ASSERT_EQ(eraseWait.size(), 50u);
    EXPECT_EQ(eraseWait.front(), 8000u);
    EXPECT_EQ(eraseWait[1], 7840u);
    EXPECT_EQ(eraseWait.back(), 160u);
    EXPECT_EQ(summary.dump(),
              nlohmann::ordered_json({{"image", image}, {"bytes", 20}, {"sha256", IMAGE_20_SHA256}})
                  .dump());
    EXPECT_EQ(writing, (std::vector<std::string>{
                           R"({"phase":"writing","percent":0,"bytesSent":0,"framesSent":0})",
                           R"({"phase":"writing","percent":40,"bytesSent":8,"framesSent":1})",
                           R"({"phase":"writing","percent":80,"bytesSent":16,"framesSent":2})",
                           R"({"phase":"writing","percent":100,"bytesSent":20,"framesSent":3})"}));
    EXPECT_EQ(last, "done");
    EXPECT_EQ(system.sleeper.CountOf(160), 50u) << "the erase wait ran on fake time";
}

TEST_F(CliUpgradeTest, SuccessEndsWithTheStatusLineAndTheImageDigest) {
    const auto image = WriteImage(20);
    const auto run = Run({"--adapter", "sim:erase-ms=0", "upgrade", image});
    ASSERT_EQ(run.status, EXIT_OK) << run.out << run.err;
    ASSERT_GE(run.out.size(), 1u);
    const auto status = run.out.find("请给设备重新上电\n镜像 20 字节, SHA-256 ");
    ASSERT_NE(status, std::string::npos) << run.out;
    EXPECT_EQ(run.out.substr(run.out.rfind(' ') + 1), std::string(IMAGE_20_SHA256) + "\n");
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

// The demo writes a made-up record and streams a made-up image: only ever into
// a fresh simulated device of its own, whatever the configuration names.
TEST_F(CliUpgradeTest, DemoRunsOnAFreshDeviceOfItsOwnAndLeavesNothingBehind) {
    const std::string remembered = Dir() + "/remembered.dat";
    const test::ScopedEnvironment configured("KELVIX_ADAPTER", "sim:type=2,state=" + remembered);
    const auto run = Run({"--adapter", "sim:erase-ms=0", "demo"});
    EXPECT_EQ(run.status, EXIT_OK) << run.out << run.err;
    EXPECT_NE(run.out.find("参数写入/读回: 一致"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("演示完成。"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(remembered)) << "the configured device was written";
    const std::string marker = "设置目录 ";
    const auto at = run.out.find(marker) + marker.size();
    const std::string directory = run.out.substr(at, run.out.find('\n', at) - at);
    EXPECT_FALSE(std::filesystem::exists(directory)) << directory << " was left behind";
}

TEST_F(CliUpgradeTest, DemoRefusesAnythingButItsOwnSimulatedDevice) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::string err;
    };
    const std::string own = "quillon-cli demo: the demo runs only against a ";
    const Row rows[] = {
        {"another backend",
         {"--adapter", "qcanbus:virtualcan:can0,can1", "demo"},
         own + "simulated device of its own; it does not use --adapter "
               "qcanbus:virtualcan:can0,can1\n"},
        {"a remembered device",
         {"--adapter", "sim:state=" + Dir() + "/d.dat", "demo"},
         own + "fresh simulated device of its own; it does not take the sim option state\n"},
        {"a shared bus",
         {"--adapter", "sim:type=2,bus=shop", "demo"},
         own + "fresh simulated device of its own; it does not take the sim option bus\n"},
        {"no device",
         {"--adapter", "sim:nodevice", "demo"},
         own + "fresh simulated device of its own; it does not take the sim option nodevice\n"},
        {"a settings directory",
         {"--settings-dir", Dir(), "demo"},
         "quillon-cli demo: the demo keeps its settings in a temporary directory of its own; it "
         "does not use --settings-dir\n"},
    };
    for (const auto& row : rows) {
        const auto run = Run(row.args);
        EXPECT_EQ(run.status, EXIT_USAGE) << row.name;
        EXPECT_EQ(run.err, row.err) << row.name;
        EXPECT_EQ(run.out, "") << row.name;
    }
    EXPECT_FALSE(std::filesystem::exists(Dir() + "/QXCfg.dat"));
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
    EXPECT_EQ(nlohmann::json::parse(fresh.out)["sys"]["fileSizeMB"],
              protocol::FactorySettings().sys.fileSizeMB);

    const auto other = Run({"--adapter", "sim:type=2", "read", "--json"});
    EXPECT_EQ(nlohmann::json::parse(other.out)["sys"]["fileSizeMB"],
              protocol::FactorySettings().sys.fileSizeMB)
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
    EXPECT_EQ(nlohmann::json::parse(read.out)["sys"]["fileSizeMB"],
              protocol::FactorySettings().sys.fileSizeMB);
}

}  // namespace
}  // namespace quillon::cli
