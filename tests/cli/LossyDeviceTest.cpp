// quillon-cli against a silent or lossy simulated device (fixed seeds): every
// command that waits ends within its time-out with exit 3, and a read that
// lost frames is never a success.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "frontends/cli/ExitCode.hpp"
#include "protocol/Capacities.hpp"
#include "protocol/Cpc1crypt.hpp"
#include "protocol/FirmwareKey.hpp"
#include "protocol/SettingsFile.hpp"
#include "support/FakeSystem.hpp"
#include "support/ScriptedAdapter.hpp"
#include "tests/cli/InProcessCli.hpp"

namespace quillon::cli {
namespace {

class LossyDeviceTest : public ::testing::Test {
  protected:
    LossyDeviceTest() {
        sections.can1 = protocol::CanPara::Defaults();
        sections.can2 = protocol::CanPara::Defaults();
        sections.sys.fileSizeMB = 32;
        sections.bridge.ruleCount = 3;
        sections.replay.ruleCount = 2;
        EXPECT_TRUE(protocol::WriteSettingsFile(Dir() + "/QXCfg.dat", sections));
    }
    test::CliResult Run(std::vector<std::string> args) {
        return test::RunCliInProcess(std::move(args), system.services);
    }
    std::string Dir() const { return system.directory.Path().string(); }

    test::FakeSystem system;
    protocol::SettingsSections sections;
};

TEST_F(LossyDeviceTest, EveryWaitOnASilentDeviceEndsWithExit3) {
    const std::string file = Dir() + "/QXCfg.dat";
    const struct {
        std::vector<std::string> args;
        std::string message;
    } rows[] = {
        {{"read", "--timeout-ms", "40"},
         "quillon-cli read: no completion from the device within 40 ms\n"},
        {{"storage-init", "--yes", "--timeout-ms", "40"},
         "quillon-cli storage-init: no reply from the device within 40 ms\n"},
        {{"--settings-dir", Dir(), "write", "--verify", "--timeout-ms", "40"},
         "quillon-cli write --verify: no completion from the device within 40 ms\n"},
        {{"diff", file, "--device", "--timeout-ms", "40"},
         "quillon-cli diff: no completion from the device within 40 ms\n"},
    };
    for (const auto& row : rows) {
        auto args = row.args;
        args.insert(args.begin(), {"--adapter", "sim:silent,state=none"});
        const auto run = Run(args);
        EXPECT_EQ(run.status, EXIT_TIMEOUT) << row.args[0];
        EXPECT_EQ(run.err, row.message);
    }
}

// Over many fixed seeds some replies are lost: each read either reports the
// whole record, exactly as a clean read does, or exit 3 naming what is missing.
TEST_F(LossyDeviceTest, ALossyReadIsNeverASuccessWithEntriesMissing) {
    const std::string state = "state=" + Dir() + "/device.state";
    ASSERT_EQ(Run({"--adapter", "sim:" + state, "--settings-dir", Dir(), "write"}).status, EXIT_OK);
    const auto clean = Run({"--adapter", "sim:" + state, "read", "--json"});
    ASSERT_EQ(clean.status, EXIT_OK) << clean.err;
    int incomplete = 0;
    for (int seed = 1; seed <= 12; ++seed) {
        const auto run =
            Run({"--adapter", "sim:reply-drop=2,seed=" + std::to_string(seed) + "," + state, "read",
                 "--json", "--timeout-ms", "1000"});
        if (run.status == EXIT_OK) {
            EXPECT_EQ(nlohmann::json::parse(run.out), nlohmann::json::parse(clean.out))
                << "seed " << seed;
            continue;
        }
        EXPECT_EQ(run.status, EXIT_TIMEOUT) << "seed " << seed << ": " << run.err;
        if (run.err.find("the read is incomplete, missing ") != std::string::npos) {
            ++incomplete;
        }
    }
    EXPECT_GT(incomplete, 0) << "some seed loses an entry and says so";
}

// Every entry of every table in use and no field left zero, so that losing any
// parameter frame changes what the device keeps. Ten recording filters: a write
// to a device whose firmware it has not read yet sends no more.
void FillEveryEntry(protocol::SettingsSections& s) {
    using namespace protocol;
    for (auto* can : {&s.can1, &s.can2}) {
        can->filterCount = 10;
        for (std::uint32_t k = 0; k < can->filterCount; ++k) {
            can->filters[k] = {1, 0, 1, 2, 0x100 + k, 0x1FF + k, static_cast<std::int32_t>(10 + k)};
        }
    }
    for (auto* filters : {&s.filters1, &s.filters2}) {
        filters->enable = 1;
        filters->filterCount = MAX_HARD_FILTERS;
        for (std::uint32_t k = 0; k < MAX_HARD_FILTERS; ++k) {
            filters->frameFormat[k] = 1;
            filters->matchValue[k] = 0x100 + k;
            filters->matchMask[k] = 0x7FF;
        }
    }
    s.bridge.ruleCount = MAX_BRIDGE_RULES;
    for (std::uint8_t k = 0; k < MAX_BRIDGE_RULES; ++k) {
        BridgeRule& rule = s.bridge.rules[k];
        rule = {.leadByte = 1,
                .direction = static_cast<std::uint8_t>(1 + k % 2),
                .k = static_cast<std::uint8_t>(k + 1),
                .m = static_cast<std::uint8_t>(k + 2),
                .trigger = 2,
                .srcFlags = 1};
        rule.srcId = 0x200u + k;
        rule.srcDataMask = 0xFF;
        rule.srcLength = 8;
        rule.srcData.fill(static_cast<std::uint8_t>(k + 1));
        rule.dstFlags = 2;
        rule.dstId = 0x300u + k;
        rule.yMax = 200;
        // Distinct masks: a swap of any two of them shows in what the device keeps.
        rule.dstDataMask = 0x0F;
        rule.kMask = 0x30;
        rule.mMask = 0xC0;
        rule.dstLength = 8;
        rule.dstData.fill(static_cast<std::uint8_t>(k + 3));
    }
    s.replay.ruleCount = MAX_REPLAY_RULES;
    for (std::uint8_t k = 0; k < MAX_REPLAY_RULES; ++k) {
        ReplayRule& rule = s.replay.rules[k];
        rule.channelMask = static_cast<std::uint8_t>(1 + k % 3);
        rule.times = static_cast<std::uint16_t>(k + 1);
        rule.intervalSec = k + 5u;
        const std::string name = "replay" + std::to_string(k) + ".dat";
        std::copy(name.begin(), name.end(), rule.fileName.begin());
    }
}

// A device that misses a fifth of what it is sent loses part of every write
// (it then keeps what it had) or the read-back's request: the write itself
// looks sent, and only --verify can tell. Never a success.
TEST_F(LossyDeviceTest, WriteVerifyCatchesFramesTheDeviceNeverHeard) {
    FillEveryEntry(sections);
    ASSERT_TRUE(protocol::WriteSettingsFile(Dir() + "/QXCfg.dat", sections));
    const auto clean = Run(
        {"--adapter", "sim:state=none", "--settings-dir", Dir(), "write", "--verify", "--json"});
    ASSERT_EQ(clean.status, EXIT_OK)
        << "a device that hears everything keeps it all: " << clean.out;
    int caught = 0;
    for (int seed = 1; seed <= 6; ++seed) {
        const auto run = Run({"--adapter", "sim:drop=20,state=none,seed=" + std::to_string(seed),
                              "--settings-dir", Dir(), "write", "--verify", "--timeout-ms", "300"});
        ASSERT_NE(run.status, EXIT_OK) << "seed " << seed << ": " << run.out;
        if (run.status == EXIT_FAILED) {
            EXPECT_NE(run.err.find("quillon-cli write --verify: the device reports "),
                      std::string::npos)
                << "seed " << seed << ": " << run.err;
            ++caught;
        } else {
            EXPECT_EQ(run.status, EXIT_TIMEOUT) << "seed " << seed << ": " << run.err;
        }
    }
    EXPECT_GT(caught, 0) << "some seed loses a written frame, not the read request";
}

// Devices that answer otherwise than our simulator: identity frames once,
// one completion, in another order, a block left out. Each read is judged
// at its first completion; a block never sent is told, not a failure.
TEST_F(LossyDeviceTest, ReadsOfOtherReplyPatternsAreJudgedByWhatWasAnnounced) {
    using test::MakeFrame;
    using Answer = std::vector<std::pair<std::uint32_t, CanFrameRecord>>;
    const auto channel = [](std::uint32_t c) {
        return Answer{{c, MakeFrame(1, true, {1, 2})},
                      {c, MakeFrame(2, true, {0, 0})},
                      {c, MakeFrame(0x100, true, {0, 0})}};
    };
    const auto bridge = [](std::size_t parts) {
        Answer frames = {{0, MakeFrame(0x1FF, true, {1})}};
        for (std::uint32_t part = 0; part < parts; ++part) {
            frames.push_back({0, MakeFrame(0x200 + part, true, {1})});
        }
        return frames;
    };
    const auto join = [](std::initializer_list<Answer> parts) {
        Answer joined;
        for (const auto& part : parts) {
            joined.insert(joined.end(), part.begin(), part.end());
        }
        return joined;
    };
    Answer identity;
    for (std::uint32_t id = 1; id <= 4; ++id) {
        identity.push_back({0, MakeFrame(id, false, {1})});
    }
    const Answer replay = {{0, MakeFrame(0x2FF, true, {0, 0})}};
    const Answer completion = {{0, MakeFrame(0, false, {1})}};
    const struct {
        const char* name;
        Answer answer;
        int status;
        std::string err;
        nlohmann::json notReported;
    } rows[] = {
        {"identity once, one completion",
         join({identity, channel(0), channel(1), bridge(5), replay, completion}), EXIT_OK, "",
         nlohmann::json::array()},
        {"completion first",
         join({completion, identity, channel(0), channel(1), bridge(5), replay}), EXIT_OK, "",
         nlohmann::json::array()},
        {"no bridge block", join({identity, channel(0), channel(1), replay, completion}), EXIT_OK,
         "quillon-cli read: not reported by the device: bridge header\n",
         nlohmann::json::array({"bridge header"})},
        {"a bridge rule announced, part 4 lost",
         join({identity, channel(0), channel(1), bridge(4), replay, completion}), EXIT_TIMEOUT,
         "quillon-cli read: the read is incomplete, missing bridge rule 0 (of 1 announced)\n",
         nullptr},
        {"no completion", join({identity, channel(0), channel(1), bridge(5), replay}), EXIT_TIMEOUT,
         "quillon-cli read: no completion from the device within 40 ms\n", nullptr},
    };
    const protocol::Cpc1crypt cipher(protocol::FIRMWARE_KEY);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::ScriptedAdapterScope adapter;
        // CAN2's frames are queued first, so the receive thread has them by
        // the end of the pass that brings the completion on CAN1.
        adapter.Bus().DuringNextTransmit([&] {
            for (std::uint32_t c : {1u, 0u}) {
                std::vector<CanFrameRecord> frames;
                for (auto [on, frame] : row.answer) {
                    if (on == c) {
                        cipher.EncipherPayload(frame.Data);
                        frames.push_back(frame);
                    }
                }
                adapter.Bus().Deliver(c, frames);
            }
        });
        const auto run = Run({"--adapter", "scripted", "--json", "read", "--timeout-ms", "40"});
        EXPECT_EQ(run.status, row.status);
        EXPECT_EQ(run.err, row.err);
        if (row.status == EXIT_OK) {
            const auto document = nlohmann::json::parse(run.out);
            EXPECT_EQ(document["notReported"], row.notReported);
            EXPECT_EQ(document["bridge"]["ruleCount"],
                      row.name == std::string("no bridge block") ? 3 : 1)
                << "the settings directory's three rules, or the device's one";
        }
    }
}

}  // namespace
}  // namespace quillon::cli
