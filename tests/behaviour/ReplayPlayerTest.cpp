#include "behaviour/ReplayPlayer.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tests/behaviour/ModelFrames.hpp"

namespace quillon::behaviour {
namespace {

using protocol::TimedFrame;
using testing::Data;

constexpr std::int64_t S = 1'000'000;

class VectorReader : public FrameReader {
  public:
    explicit VectorReader(std::vector<TimedFrame> frames) : frames_(std::move(frames)) {}
    std::optional<TimedFrame> Next() override {
        if (next_ == frames_.size()) {
            return std::nullopt;
        }
        return frames_[next_++];
    }

  private:
    std::vector<TimedFrame> frames_;
    std::size_t next_ = 0;
};

using Storage = std::map<std::string, std::vector<TimedFrame>>;

FileOpener Open(const Storage& storage) {
    return [storage](const std::string& name) -> std::unique_ptr<FrameReader> {
        const auto found = storage.find(name);
        if (found == storage.end()) {
            return nullptr;
        }
        return std::make_unique<VectorReader>(found->second);
    };
}

protocol::ReplayRule Entry(const char* name, std::uint8_t channelMask, std::uint16_t times = 1,
                           std::uint32_t intervalSec = 0) {
    protocol::ReplayRule rule;
    std::memcpy(rule.fileName.data(), name, std::strlen(name));
    rule.channelMask = channelMask;
    rule.times = times;
    rule.intervalSec = intervalSec;
    return rule;
}

// Recorded at Unix time 1000 s: one frame per channel, 2 s apart, then one more.
const Storage STORAGE = {
    {"A",
     {Data(0, 0xA0, {1}, 1000 * S), Data(1, 0xA1, {2}, 1002 * S), Data(0, 0xA2, {}, 1003 * S)}},
    {"B", {Data(1, 0xB0, {}, 50 * S)}},
    {"EMPTY", {}},
};

struct ReplayRow {
    const char* name;
    std::vector<protocol::ReplayRule> entries;
    std::uint16_t repeatAll;
    std::uint8_t sendMode;
    std::vector<TimedFrame> sent;
};

const ReplayRow REPLAY_ROWS[] = {
    {"EmptyListSendsNothing", {}, 5, 0, {}},
    {"OneFileKeepsItsTimingFromStart",
     {Entry("A", 3)},
     1,
     0,
     {Data(0, 0xA0, {1}, 0), Data(1, 0xA1, {2}, 2 * S), Data(0, 0xA2, {}, 3 * S)}},
    {"ChannelMaskOneTakesCan1Frames",
     {Entry("A", 1)},
     1,
     0,
     {Data(0, 0xA0, {1}, 0), Data(0, 0xA2, {}, 3 * S)}},
    {"ChannelMaskTwoTakesCan2Frames", {Entry("A", 2)}, 1, 0, {Data(1, 0xA1, {2}, 2 * S)}},
    {"ChannelMaskZeroTakesNothing",
     {Entry("A", 0), Entry("B", 2)},
     1,
     0,
     {Data(1, 0xB0, {}, 3 * S)}},
    {"AllOnCan1",
     {Entry("A", 3)},
     1,
     1,
     {Data(0, 0xA0, {1}, 0), Data(0, 0xA1, {2}, 2 * S), Data(0, 0xA2, {}, 3 * S)}},
    {"AllOnCan2", {Entry("A", 1)}, 1, 2, {Data(1, 0xA0, {1}, 0), Data(1, 0xA2, {}, 3 * S)}},
    {"OtherSendModeKeepsTheChannel", {Entry("A", 2)}, 1, 9, {Data(1, 0xA1, {2}, 2 * S)}},
    {"TimesWithIntervalBetweenPlays",
     {Entry("A", 1, 2, 10)},
     1,
     0,
     {Data(0, 0xA0, {1}, 0), Data(0, 0xA2, {}, 3 * S), Data(0, 0xA0, {1}, 13 * S),
      Data(0, 0xA2, {}, 16 * S)}},
    {"TimesZeroPlaysOnce", {Entry("B", 2, 0, 10)}, 1, 0, {Data(1, 0xB0, {}, 0)}},
    {"NoPauseBetweenEntries",
     {Entry("B", 2, 2, 5), Entry("A", 1)},
     1,
     0,
     {Data(1, 0xB0, {}, 0), Data(1, 0xB0, {}, 5 * S), Data(0, 0xA0, {1}, 5 * S),
      Data(0, 0xA2, {}, 8 * S)}},
    {"PlayLengthCountsFramesTheMaskLeavesOut",
     {Entry("A", 2), Entry("B", 2)},
     1,
     0,
     {Data(1, 0xA1, {2}, 2 * S), Data(1, 0xB0, {}, 3 * S)}},
    {"RepeatAllPlaysTheListAgain",
     {Entry("A", 2), Entry("B", 2)},
     2,
     0,
     {Data(1, 0xA1, {2}, 2 * S), Data(1, 0xB0, {}, 3 * S), Data(1, 0xA1, {2}, 5 * S),
      Data(1, 0xB0, {}, 6 * S)}},
    {"RepeatAllZeroPlaysOnce", {Entry("B", 2)}, 0, 0, {Data(1, 0xB0, {}, 0)}},
    {"MissingFileIsSkipped", {Entry("GONE", 3), Entry("B", 2)}, 1, 0, {Data(1, 0xB0, {}, 0)}},
    {"EmptyFilePlaysTakeOnlyTheirIntervals",
     {Entry("EMPTY", 3, 3, 7), Entry("B", 2)},
     1,
     0,
     {Data(1, 0xB0, {}, 14 * S)}},
};

class ReplayTest : public ::testing::TestWithParam<ReplayRow> {};

std::array<protocol::CanPara, 2> BothOn() {
    std::array<protocol::CanPara, 2> channels{};
    channels[0].enable = 1;
    channels[1].enable = 1;
    return channels;
}

std::vector<TimedFrame> PlayAll(ReplayPlayer& player) {
    std::vector<TimedFrame> sent;
    while (const auto frame = player.Next()) {
        sent.push_back(*frame);
    }
    return sent;
}

TEST_P(ReplayTest, FramesSent) {
    const ReplayRow& row = GetParam();
    protocol::ReplayPara replay;
    std::copy(row.entries.begin(), row.entries.end(), replay.rules.begin());
    replay.ruleCount = static_cast<std::uint8_t>(row.entries.size());
    replay.repeatAll = row.repeatAll;
    replay.sendMode = row.sendMode;
    ReplayPlayer player(replay, BothOn(), Open(STORAGE), 0);
    EXPECT_EQ(PlayAll(player), row.sent);
}

INSTANTIATE_TEST_SUITE_P(Rows, ReplayTest, ::testing::ValuesIn(REPLAY_ROWS),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReplayPlayerTest, CountsPerEntryWithDropsAndMissingFiles) {
    protocol::ReplayPara replay;
    replay.rules[0] = Entry("A", 3);
    replay.rules[1] = Entry("GONE", 3);
    replay.rules[2] = Entry("B", 2);  // beyond ruleCount
    replay.ruleCount = 2;
    replay.repeatAll = 2;
    std::array<protocol::CanPara, 2> channels = BothOn();
    channels[1].workMode = 1;
    ReplayPlayer player(replay, channels, Open(STORAGE), 100 * S);
    const std::vector<TimedFrame> sent = PlayAll(player);
    EXPECT_EQ(sent,
              (std::vector<TimedFrame>{Data(0, 0xA0, {1}, 100 * S), Data(0, 0xA2, {}, 103 * S),
                                       Data(0, 0xA0, {1}, 103 * S), Data(0, 0xA2, {}, 106 * S)}));
    ASSERT_EQ(player.Counts().size(), 2u);
    EXPECT_EQ(player.Counts()[0].matched, 6u);
    EXPECT_EQ(player.Counts()[0].passed, 4u);
    EXPECT_EQ(player.Counts()[0].dropped[static_cast<std::size_t>(DropReason::ListenOnly)], 2u);
    EXPECT_EQ(player.Counts()[1].missingFile, 2u);
    EXPECT_EQ(player.Counts()[1].matched, 0u);
}

TEST(ReplayFileNameTest, BytesUpToTheFirstZero) {
    protocol::ReplayRule rule = Entry("LOG1", 1);
    rule.fileName[6] = 'X';
    EXPECT_EQ(ReplayFileName(rule), "LOG1");
    rule.fileName.fill('Z');
    EXPECT_EQ(ReplayFileName(rule), std::string(17, 'Z'));
}

}  // namespace
}  // namespace quillon::behaviour
