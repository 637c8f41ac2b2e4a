// When a read is over and how it went, against reply patterns of devices that
// differ in which frames they send, on which channel and in which order.
#include "app/ReadJudge.hpp"

#include <gtest/gtest.h>

#include <initializer_list>

namespace quillon::app {
namespace {

using Received = std::pair<std::uint32_t, CanFrameRecord>;

CanFrameRecord Frame(std::uint32_t id, bool extended, std::initializer_list<std::uint8_t> data) {
    CanFrameRecord frame{};
    frame.ID = id;
    frame.ExternFlag = extended ? 1 : 0;
    frame.DataLen = 8;
    std::copy(data.begin(), data.end(), frame.Data);
    return frame;
}

const CanFrameRecord COMPLETION = Frame(0, false, {1});

std::vector<Received> Identity(std::uint32_t channel) {
    std::vector<Received> frames;
    for (std::uint32_t id = 1; id <= 4; ++id) {
        frames.push_back({channel, Frame(id, false, {})});
    }
    return frames;
}

// One channel's parameter frames, nothing announced but the bridge rule.
std::vector<Received> ChannelFrames(std::uint32_t channel) {
    return {{channel, Frame(1, true, {1})},
            {channel, Frame(2, true, {0, 0})},
            {channel, Frame(0x100, true, {0, 0})}};
}

// The bridge block with one rule announced, its five parts less `lost`.
std::vector<Received> BridgeBlock(std::uint32_t channel, std::size_t lost = 99) {
    std::vector<Received> frames = {{channel, Frame(0x1FF, true, {1})}};
    for (std::uint32_t part = 0; part < 5; ++part) {
        if (part != lost) {
            frames.push_back({channel, Frame(0x200 + part, true, {})});
        }
    }
    return frames;
}

std::vector<Received> ReplayHeader(std::uint32_t channel) {
    return {{channel, Frame(0x2FF, true, {0, 0})}};
}

std::vector<Received> Join(std::initializer_list<std::vector<Received>> parts) {
    std::vector<Received> joined;
    for (const auto& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}

/// One pass of the receive thread: what it received, and when it ended.
struct Pass {
    std::vector<Received> frames;
    std::uint64_t atMs;
};

struct Outcome {
    std::optional<ReadVerdict> verdict;
    std::size_t pass = 0;  ///< index of the pass that brought the verdict
    std::vector<std::string> notReported;

    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Outcome& outcome) {
    out << (outcome.verdict ? static_cast<int>(*outcome.verdict) : -1) << " at pass "
        << outcome.pass << " not reported {";
    for (const auto& name : outcome.notReported) {
        out << name << ';';
    }
    return out << '}';
}

// Starts a read at 0 ms and feeds the passes until the first verdict.
Outcome Feed(const std::vector<Pass>& passes) {
    ReadJudge judge;
    judge.Start(0);
    for (std::size_t i = 0; i < passes.size(); ++i) {
        for (const auto& [channel, frame] : passes[i].frames) {
            judge.Add(channel, frame, passes[i].atMs);
        }
        if (const auto verdict = judge.PassEnded(passes[i].frames.size(), passes[i].atMs)) {
            EXPECT_FALSE(judge.Judging());
            if (*verdict == ReadVerdict::NoAnswer) {
                return {verdict, i, {}};
            }
            return {verdict, i, judge.Tally().NotReported()};
        }
    }
    return {std::nullopt, passes.size(), {}};
}

TEST(ReadJudgeTest, ReplyPatternsAreJudgedAtTheFirstCompletionOnceSettled) {
    const auto both =
        Join({Identity(0), ChannelFrames(0), BridgeBlock(0), ReplayHeader(0), ChannelFrames(1)});
    const std::vector<std::string> nothing;
    const struct {
        const char* name;
        std::vector<Pass> passes;
        Outcome expected;
    } rows[] = {
        {"each channel ending with its completion",
         {{Join({Identity(0),
                 ChannelFrames(0),
                 BridgeBlock(0),
                 ReplayHeader(0),
                 {{0, COMPLETION}},
                 Identity(1),
                 ChannelFrames(1),
                 {{1, COMPLETION}}}),
           10},
          {{}, 11}},
         {ReadVerdict::Complete, 1, nothing}},
        {"identity once and one completion, on channel 0",
         {{Join({both, {{0, COMPLETION}}}), 10}, {{}, 11}},
         {ReadVerdict::Complete, 1, nothing}},
        {"the completion on channel 1 only",
         {{Join({both, {{1, COMPLETION}}}), 10}, {{}, 11}},
         {ReadVerdict::Complete, 1, nothing}},
        {"completion first, the rest in the same pass",
         {{Join({{{0, COMPLETION}}, both}), 10}, {{}, 11}},
         {ReadVerdict::Complete, 1, nothing}},
        {"completion first, the rest a pass later",
         {{{{0, COMPLETION}}, 10}, {both, 20}, {{}, 21}},
         {ReadVerdict::Complete, 2, nothing}},
        {"no bridge block",
         {{Join({Identity(0),
                 ChannelFrames(0),
                 ReplayHeader(0),
                 ChannelFrames(1),
                 {{0, COMPLETION}}}),
           10},
          {{}, 11}},
         {ReadVerdict::Complete, 1, {"bridge header"}}},
        {"only a completion",
         {{{{0, COMPLETION}}, 10}, {{}, 11}},
         {ReadVerdict::Complete,
          1,
          {"identity frame 1", "identity frame 2", "identity frame 3", "identity frame 4",
           "CAN1 channel frame 1", "CAN1 channel frame 2", "CAN1 advanced filter header",
           "CAN2 channel frame 1", "CAN2 channel frame 2", "CAN2 advanced filter header",
           "bridge header", "replay header"}}},
        {"an announced bridge part lost",
         {{Join({Identity(0),
                 ChannelFrames(0),
                 BridgeBlock(0, 3),
                 ReplayHeader(0),
                 ChannelFrames(1),
                 {{0, COMPLETION}}}),
           10},
          {{}, 11}},
         {ReadVerdict::Incomplete, 1, nothing}},
        {"the announced part comes late, within the settling",
         {{Join({Identity(0),
                 ChannelFrames(0),
                 BridgeBlock(0, 3),
                 ReplayHeader(0),
                 ChannelFrames(1),
                 {{0, COMPLETION}}}),
           10},
          {{{0, Frame(0x203, true, {})}}, 12},
          {{}, 13}},
         {ReadVerdict::Complete, 2, nothing}},
        {"a completion with d0 other than 1 is none",
         {{Join({both, {{0, Frame(0, false, {2})}}}), 10}, {{}, 11}, {{}, 4999}, {{}, 5000}},
         {ReadVerdict::NoAnswer, 3, {}}},
        {"no answer: judged at 5000 ms, not before",
         {{{}, 1}, {{}, 4999}, {{}, 5000}},
         {ReadVerdict::NoAnswer, 2, {}}},
        {"a busy bus: judged 1000 ms after the completion, not before",
         {{Join({both, {{0, COMPLETION}}}), 100},
          {{{1, Frame(0xF0, false, {})}}, 1099},
          {{{1, Frame(0xF0, false, {})}}, 1100}},
         {ReadVerdict::Complete, 2, nothing}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Feed(row.passes), row.expected) << row.name;
    }
}

TEST(ReadJudgeTest, OnlyAReadInProgressTalliesAndIsJudged) {
    ReadJudge judge;
    judge.Add(0, COMPLETION, 0);
    EXPECT_EQ(judge.PassEnded(0, 1), std::nullopt) << "no request, no verdict";
    judge.Start(10, 100);
    EXPECT_EQ(judge.PassEnded(0, 109), std::nullopt);
    EXPECT_EQ(judge.PassEnded(0, 110), ReadVerdict::NoAnswer)
        << "the no-answer time is the caller's";
    judge.Add(0, Frame(0x1FF, true, {1}), 111);
    judge.Add(0, COMPLETION, 111);
    EXPECT_EQ(judge.PassEnded(0, 112), std::nullopt) << "judged once";
    EXPECT_EQ(judge.Tally().NotReported().size(), 12u) << "nothing tallied after the verdict";
    judge.Start(200);
    judge.Add(0, Frame(0x1FF, true, {1}), 201);
    judge.Add(0, COMPLETION, 201);
    EXPECT_EQ(judge.PassEnded(2, 201), std::nullopt);
    EXPECT_EQ(judge.PassEnded(0, 202), ReadVerdict::Incomplete) << "bridge rule 0 never came";
}

}  // namespace
}  // namespace quillon::app
