// quillon-cli simulate over short logs: the frames it writes, byte for byte, and
// the report it prints, for each device type; and how it refuses bad input.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "configtext/ConfigFiles.hpp"
#include "protocol/SettingsFile.hpp"
#include "support/FakeSystem.hpp"
#include "tests/cli/InProcessCli.hpp"

namespace quillon::cli {
namespace {

using protocol::BridgePara;
using protocol::BridgeRule;

std::string Read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

BridgeRule AnyRule(std::uint8_t direction, std::uint8_t trigger, std::uint32_t srcId) {
    BridgeRule rule;
    rule.direction = direction;
    rule.trigger = trigger;
    rule.srcFlags = 0xF0;
    rule.srcId = srcId;
    rule.srcLength = 9;
    rule.dstFlags = 0xF0;
    rule.dstId = BridgeRule::ANY_ID;
    rule.dstLength = 9;
    return rule;
}

protocol::CanFilter Recording(std::uint8_t trigger, std::uint32_t from, std::uint32_t to,
                              std::int32_t intervalMs = 0) {
    protocol::CanFilter rule;
    rule.used = 1;
    rule.trigger = trigger;
    rule.idStart = from;
    rule.idEnd = to;
    rule.interval = intervalMs;
    return rule;
}

class SimulateCommandTest : public ::testing::Test {
  protected:
    std::filesystem::path Dir() const { return system.directory.Path(); }

    void Save() { ASSERT_TRUE(protocol::WriteSettingsFile(Dir() / "QXCfg.dat", settings).ok); }

    std::filesystem::path Log(const std::string& name, const std::string& text) {
        std::ofstream(Dir() / name, std::ios::binary) << text;
        return Dir() / name;
    }

    test::CliResult Simulate(std::vector<std::string> args) {
        args.insert(args.begin(), {"--settings-dir", Dir().string(), "simulate"});
        return test::RunCliInProcess(args, system.services);
    }

    test::FakeSystem system;
    protocol::SettingsSections settings = protocol::FactorySettings();
};

TEST_F(SimulateCommandTest, BridgeRewritesForwardsCopiesAndStops) {
    BridgeRule scale = AnyRule(0, 2, 0x100);
    scale.dstId = 0x200;
    scale.k = 2;
    scale.m = 1;
    scale.kMask = 0x01;
    scale.mMask = 0x01;
    scale.dstDataMask = 0x02;
    scale.dstData[1] = 0xEE;
    scale.dstLength = 2;
    settings.bridge.rules[0] = scale;
    settings.bridge.rules[1] = AnyRule(0, 1, 0x7F0);
    settings.bridge.ruleCount = 2;
    settings.bridge.bridgeFlags = BridgePara::FLAG_CAN2_FORWARD_ALL;
    Save();
    const auto log = Log("drive.log",
                         "(1.000000) can0 100#0A0B\n"
                         "(1.100000) can0 101#01\n"
                         "(1.200000) can1 300#AA\n"
                         "(1.300000) can0 7F0#\n"
                         "(1.400000) can0 100#0A\n");

    const auto result =
        Simulate({"--as", "bridge", log.string(), "-o", (Dir() / "out.log").string()});

    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Read(Dir() / "out.log"),
              "(1.000000) can1 200#15EE\n"
              "(1.200000) can0 300#AA\n");
    EXPECT_EQ(result.out,
              "simulated bridge: 5 frames in, 2 forwarded\n"
              "CAN1: 4 accepted, 0 rejected by the acceptance filters, 0 while the channel is off\n"
              "CAN2: 1 accepted, 0 rejected by the acceptance filters, 0 while the channel is off\n"
              "bridge rule 0: 2 matched, 1 forwarded\n"
              "bridge rule 1: 1 matched, 0 forwarded\n"
              "CAN2 direct copy: 1 matched, 1 forwarded\n"
              "1.300000 CAN1->CAN2 forwarding off (rule 1)\n");
}

TEST_F(SimulateCommandTest, AConfigurationTextRunsAsTheSettingsFileItWasExportedFrom) {
    settings.bridge.rules[0] = AnyRule(0, 2, 0x100);
    settings.bridge.rules[0].dstId = 0x321;
    settings.bridge.ruleCount = 1;
    ASSERT_EQ(configtext::SaveConfigDirectory(Dir(), {settings, {}, {}}), "");
    const auto text = (Dir() / "gateway.json").string();
    ASSERT_EQ(test::RunCliInProcess({"--settings-dir", Dir().string(), "export", "-o", text},
                                    system.services)
                  .status,
              0);
    const auto log = Log("drive.log", "(1.000000) can0 100#0A\n(1.100000) can0 101#0B\n");
    const auto fromFile = Simulate({"--as", "bridge", log.string()});
    std::filesystem::remove(Dir() / "QXCfg.dat");
    std::ofstream(Dir() / "typo.json") << R"({"format": "quillon-settings", "versoin": 1})";

    const auto fromText = Simulate({"--from", text, "--as", "bridge", log.string()});
    const auto typo = Simulate({"--from", (Dir() / "typo.json").string(), log.string()});

    EXPECT_EQ(fromText.status, 0) << fromText.err;
    EXPECT_EQ(fromText.out, fromFile.out);
    EXPECT_NE(fromText.out.find("bridge rule 0: 1 matched, 1 forwarded\n"), std::string::npos);
    EXPECT_EQ(typo.status, 5);
    EXPECT_NE(typo.err.find("versoin"), std::string::npos) << typo.err;
}

TEST_F(SimulateCommandTest, RecorderKeepsWhatItsFiltersAndRulesLetThroughAsJson) {
    settings.can1.filters[0] = Recording(0, 0x500, 0x500);
    settings.can1.filters[1] = Recording(2, 0x100, 0x1FF, 100);
    settings.can1.filters[2] = Recording(1, 0x501, 0x501);
    settings.can1.filterCount = 3;
    settings.can2.enable = 0;
    settings.filters1.enable = 1;
    settings.filters1.filterCount = 1;
    settings.filters1.matchMask[0] = 0x200;  // identifiers with bit 9 clear
    Save();
    const auto log = Log("rec.log",
                         "(0.000000) can0 100#01\n"
                         "(0.010000) can0 500#\n"
                         "(0.020000) can0 100#02\n"
                         "(0.050000) can0 100#03\n"
                         "(0.120000) can0 100#04\n"
                         "(0.130000) can0 300#05\n"
                         "(0.140000) can0 501#\n"
                         "(0.150000) can0 100#06\n"
                         "(0.160000) can1 100#07\n");

    const auto result = Simulate({"--json", log.string(), "-o", (Dir() / "kept.log").string()});

    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Read(Dir() / "kept.log"),
              "(0.010000) can0 500#\n"
              "(0.020000) can0 100#02\n"
              "(0.120000) can0 100#04\n"
              "(0.140000) can0 501#\n");
    const auto json = nlohmann::json::parse(result.out);
    EXPECT_EQ(json["role"], "recorder");
    EXPECT_EQ(json["framesIn"], 9);
    EXPECT_EQ(json["framesRecorded"], 4);
    EXPECT_EQ(
        json["channels"][0],
        nlohmann::json::parse(R"({"channel":"CAN1","accepted":7,"rejected":1,"channelOff":0})"));
    EXPECT_EQ(json["channels"][1]["channelOff"], 1);
    EXPECT_EQ(json["recordingRules"][1]["matched"], 5);
    EXPECT_EQ(json["recordingRules"][1]["recorded"], 2);
    EXPECT_EQ(json["switches"],
              nlohmann::json::parse(
                  R"([{"timeUs":10000,"channel":"CAN1","what":"recording","on":true,"rule":0},
                      {"timeUs":140000,"channel":"CAN1","what":"recording","on":false,"rule":2}])"));
}

TEST_F(SimulateCommandTest, ReplayerPlaysItsListFromTheStoredLogs) {
    protocol::ReplayRule entry;
    entry.channelMask = 3;
    entry.times = 2;
    entry.intervalSec = 1;
    std::copy_n("LOG1", 4, entry.fileName.begin());
    settings.replay.rules[0] = entry;
    std::copy_n("GONE\0", 5, entry.fileName.begin());
    settings.replay.rules[1] = entry;
    settings.replay.ruleCount = 2;
    settings.replay.sendMode = 2;
    Save();
    const auto log = Log("LOG1.log",
                         "(100.000000) vcan0 100#01\n"
                         "(100.500000) vcan1 200#02\n");

    const auto result = Simulate({"--as", "replayer", "--channels", "vcan0,vcan1", log.string(),
                                  "-o", (Dir() / "sent.log").string()});

    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Read(Dir() / "sent.log"),
              "(0.000000) vcan1 100#01\n"
              "(0.500000) vcan1 200#02\n"
              "(1.500000) vcan1 100#01\n"
              "(2.000000) vcan1 200#02\n");
    EXPECT_NE(result.out.find("replay entry 0 (LOG1): 4 matched, 4 sent\n"), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("replay entry 1 (GONE): 0 matched, 0 sent, file missing 1 times\n"),
              std::string::npos)
        << result.out;
}

struct RefusalRow {
    const char* name;
    std::vector<std::string> args;  ///< "LOG" stands for the log's path
    std::string log;
    int status;
    std::string err;  ///< "LOG" and "CFG" stand for the paths
};

const RefusalRow REFUSAL_ROWS[] = {
    {"MalformedLine",
     {"LOG"},
     "(1.0) can0 100#01\n(1.1) can0 10#0\n",
     5,
     "quillon-cli simulate: LOG:2: not a candump line: the identifier has neither 3 nor 8 hex "
     "digits\n"},
    {"InterfaceNotInChannels",
     {"LOG"},
     "(1.0) vcan0 100#01\n",
     5,
     "quillon-cli simulate: LOG:1: interface vcan0 is not one of the channels can0,can1\n"},
    {"UnknownFormat",
     {"LOG"},
     "hello\n",
     5,
     "quillon-cli simulate: cannot tell the format of LOG: it starts with neither a candump "
     "line, an ASC header nor the CSV header\n"},
    {"UnknownRole",
     {"--as", "gateway", "LOG"},
     "",
     2,
     "quillon-cli simulate: --as takes recorder, bridge or replayer, not \"gateway\"\n"},
    {"OneChannelName",
     {"--channels", "can0", "LOG"},
     "",
     2,
     "quillon-cli simulate: --channels takes two different interface names, e.g. can0,can1: "
     "can0\n"},
};

class SimulateRefusalTest : public SimulateCommandTest,
                            public ::testing::WithParamInterface<RefusalRow> {};

std::string Replace(std::string text, const std::string& what, const std::string& with) {
    for (auto at = text.find(what); at != std::string::npos;
         at = text.find(what, at + with.size())) {
        text.replace(at, what.size(), with);
    }
    return text;
}

TEST_P(SimulateRefusalTest, ExitAndMessage) {
    Save();
    const auto log = Log("in.log", GetParam().log);
    std::vector<std::string> args;
    for (const std::string& arg : GetParam().args) {
        args.push_back(arg == "LOG" ? log.string() : arg);
    }
    const auto result = Simulate(args);
    EXPECT_EQ(result.status, GetParam().status);
    EXPECT_EQ(result.err, Replace(GetParam().err, "LOG", log.string()));
    EXPECT_EQ(result.out, "");
}

INSTANTIATE_TEST_SUITE_P(Rows, SimulateRefusalTest, ::testing::ValuesIn(REFUSAL_ROWS),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimulateCommandTest, AcceptanceFilteringOnWithNoFilterIsRefusedNamingTheChannel) {
    settings.filters2.enable = 1;
    Save();
    const auto log = Log("in.log", "(1.0) can0 100#01\n");
    const auto result = Simulate({log.string()});
    EXPECT_EQ(result.status, 5);
    EXPECT_EQ(result.err, "quillon-cli simulate: " + (Dir() / "QXCfg.dat").string() +
                              ": CAN2: acceptance filtering is on with no filter\n");
}

TEST_F(SimulateCommandTest, MissingSettingsOrLogIsABadFile) {
    const auto log = Log("in.log", "(1.0) can0 100#01\n");
    auto result = Simulate({log.string()});
    EXPECT_EQ(result.status, 5);
    EXPECT_EQ(result.err.rfind("quillon-cli simulate: cannot open ", 0), 0u) << result.err;
    Save();
    result = Simulate({(Dir() / "none.log").string()});
    EXPECT_EQ(result.status, 5);
    EXPECT_EQ(result.err, "quillon-cli simulate: cannot open " + (Dir() / "none.log").string() +
                              ": No such file or directory\n");
}

}  // namespace
}  // namespace quillon::cli
