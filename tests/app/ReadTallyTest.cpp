// A read's completeness: what the headers announce against what arrived.
#include "app/ReadTally.hpp"

#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>

namespace quillon::app {
namespace {

CanFrameRecord Frame(std::uint32_t id, bool extended, std::initializer_list<std::uint8_t> data) {
    CanFrameRecord frame{};
    frame.ID = id;
    frame.ExternFlag = extended ? 1 : 0;
    frame.DataLen = 8;
    std::copy(data.begin(), data.end(), frame.Data);
    return frame;
}

// Everything a device with two recording filters on CAN1, one advanced filter
// on each channel, one bridge rule and one replay file sends, channel by channel.
std::vector<std::pair<std::uint32_t, CanFrameRecord>> WholeRead() {
    std::vector<std::pair<std::uint32_t, CanFrameRecord>> frames;
    for (std::uint32_t channel : {0u, 1u}) {
        for (std::uint32_t id = 1; id <= 4; ++id) {
            frames.push_back({channel, Frame(id, false, {})});
        }
        frames.push_back({channel, Frame(1, true, {1})});
        frames.push_back(
            {channel, Frame(2, true, {0, static_cast<std::uint8_t>(channel == 0 ? 2 : 0)})});
        for (std::uint32_t id = 3; id <= 42; ++id) {
            frames.push_back({channel, Frame(id, true, {})});
        }
        frames.push_back({channel, Frame(0x100, true, {1, 1})});
        frames.push_back({channel, Frame(0x101, true, {})});
        frames.push_back({channel, Frame(0x102, true, {})});
        if (channel == 0) {
            frames.push_back({0, Frame(0x1FF, true, {1})});
            for (std::uint32_t id = 0x200; id <= 0x204; ++id) {
                frames.push_back({0, Frame(id, true, {})});
            }
            frames.push_back({0, Frame(0x2FF, true, {0, 1})});
            for (std::uint32_t id = 0x300; id <= 0x302; ++id) {
                frames.push_back({0, Frame(id, true, {})});
            }
        }
        frames.push_back({channel, Frame(0, false, {1})});
    }
    return frames;
}

struct Judged {
    std::vector<std::string> missing;
    std::vector<std::string> notReported;
    bool operator==(const Judged&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Judged& judged) {
    for (const auto* list : {&judged.missing, &judged.notReported}) {
        out << '{';
        for (const auto& name : *list) {
            out << name << ';';
        }
        out << '}';
    }
    return out;
}

// The whole read less frame `id` on `channel` (any channel when it is 2).
Judged Without(std::uint32_t channel, std::uint32_t id, bool extended) {
    ReadTally tally;
    for (const auto& [c, frame] : WholeRead()) {
        if (!((channel == 2 || c == channel) && frame.ID == id &&
              (frame.ExternFlag != 0) == extended)) {
            tally.Add(c, frame);
        }
    }
    return {tally.Missing(), tally.NotReported()};
}

TEST(ReadTallyTest, AWholeReadMissesNothing) {
    EXPECT_EQ(Without(9, 0, false), Judged{});
}

// Entries count from 0, as the pages' lists and the trace decoder count them.
TEST(ReadTallyTest, EachLostFrameNamesWhatItCarried) {
    const struct {
        const char* name;
        std::uint32_t channel;
        std::uint32_t id;
        bool extended;
        Judged judged;
    } rows[] = {
        {"identity on one channel of two", 1, 3, false, {}},
        {"identity on no channel", 2, 3, false, {{}, {"identity frame 3"}}},
        {"channel header", 0, 1, true, {{}, {"CAN1 channel frame 1"}}},
        {"recording filter", 0, 6, true, {{"CAN1 recording filter 1 (of 2 announced)"}, {}}},
        {"unannounced filter", 0, 20, true, {}},
        {"advanced filter", 1, 0x102, true, {{"CAN2 advanced filter 0 (of 1 announced)"}, {}}},
        {"advanced header", 1, 0x100, true, {{}, {"CAN2 advanced filter header"}}},
        {"bridge part 4", 0, 0x204, true, {{"bridge rule 0 (of 1 announced)"}, {}}},
        {"bridge header, its rule unannounced", 0, 0x1FF, true, {{}, {"bridge header"}}},
        {"replay header", 0, 0x2FF, true, {{}, {"replay header"}}},
        {"replay part 2", 0, 0x302, true, {{"replay file 0 (of 1 announced)"}, {}}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Without(row.channel, row.id, row.extended), row.judged) << row.name;
    }
}

TEST(ReadTallyTest, CompletionsDoNotMatterAndResetForgets) {
    ReadTally tally;
    tally.Add(1, Frame(0x1FF, true, {2}));
    tally.Add(1, Frame(0x200, true, {}));
    EXPECT_EQ(tally.Missing(), (std::vector<std::string>{"bridge rule 0 (of 2 announced)",
                                                         "bridge rule 1 (of 2 announced)"}))
        << "judged without any completion, on whichever channel the header came";
    tally.Reset();
    EXPECT_TRUE(tally.Missing().empty());
    EXPECT_EQ(tally.NotReported().size(), 12u);
}

}  // namespace
}  // namespace quillon::app
