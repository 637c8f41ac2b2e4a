#include "behaviour/ChannelSettings.hpp"

#include <gtest/gtest.h>

#include <string>

#include "tests/behaviour/ModelFrames.hpp"

namespace quillon::behaviour {
namespace {

using testing::Data;
using testing::Extended;

protocol::HardFilterPara Filters(std::uint8_t enable, std::uint8_t count) {
    protocol::HardFilterPara filters;
    filters.enable = enable;
    filters.filterCount = count;
    return filters;
}

protocol::HardFilterPara OneFilter(std::uint8_t format, std::uint32_t value, std::uint32_t mask) {
    protocol::HardFilterPara filters = Filters(1, 1);
    filters.frameFormat[0] = format;
    filters.matchValue[0] = value;
    filters.matchMask[0] = mask;
    return filters;
}

protocol::HardFilterPara Disabled(protocol::HardFilterPara filters) {
    filters.enable = 0;
    return filters;
}

struct AcceptRow {
    const char* name;
    protocol::HardFilterPara filters;
    protocol::TimedFrame frame;
    bool accepted;
};

protocol::HardFilterPara LastOfFourteen() {
    protocol::HardFilterPara filters = Filters(1, 20);  // a stored count above 14 reads as 14
    filters.matchMask.fill(0x7FF);
    filters.matchValue.fill(0x001);
    filters.matchValue[13] = 0x123;
    return filters;
}

protocol::HardFilterPara SecondBeyondCount() {
    protocol::HardFilterPara filters = OneFilter(0, 0x100, 0x7FF);
    filters.matchValue[1] = 0x123;
    filters.matchMask[1] = 0x7FF;
    return filters;
}

const AcceptRow ACCEPT_ROWS[] = {
    {"FilteringOffTakesEverything", Filters(0, 0), Extended(Data(0, 0x1ABCDEF, {})), true},
    {"FilteringOffIgnoresItsFilters", Disabled(OneFilter(0, 0x100, 0x7FF)), Data(0, 0x200, {}),
     true},
    {"SameBitsUnderMaskPass", OneFilter(0, 0x120, 0x7F0), Data(0, 0x12F, {}), true},
    {"DifferentBitUnderMaskStops", OneFilter(0, 0x120, 0x7F0), Data(0, 0x130, {}), false},
    {"ClearMaskPassesAnyStandard", OneFilter(0, 0x7FF, 0), Data(0, 0x001, {1}), true},
    {"StandardFilterStopsExtendedFrame", OneFilter(0, 0x123, 0x7FF), Extended(Data(0, 0x123, {})),
     false},
    {"ExtendedFilterStopsStandardFrame", OneFilter(1, 0x123, 0x7FF), Data(0, 0x123, {}), false},
    {"AnyNonZeroFormatIsExtended", OneFilter(7, 0x18DAF110, 0x1FFFFFFF),
     Extended(Data(0, 0x18DAF110, {})), true},
    {"FilterBeyondCountIsNotRead", SecondBeyondCount(), Data(0, 0x123, {}), false},
    {"CountAboveFourteenReadsAllFourteen", LastOfFourteen(), Data(0, 0x123, {}), true},
};

class AcceptsTest : public ::testing::TestWithParam<AcceptRow> {};

TEST_P(AcceptsTest, FrameAgainstFilters) {
    EXPECT_EQ(Accepts(GetParam().filters, GetParam().frame), GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(Rows, AcceptsTest, ::testing::ValuesIn(ACCEPT_ROWS),
                         [](const auto& info) { return std::string(info.param.name); });

struct OutputRow {
    const char* name;
    std::uint8_t enable;
    std::uint8_t workMode;
    std::optional<DropReason> blocked;
};

const OutputRow OUTPUT_ROWS[] = {
    {"NormalSends", 1, 0, std::nullopt},
    {"OffDrops", 0, 0, DropReason::ChannelOff},
    {"OffWinsOverListenOnly", 0, 1, DropReason::ChannelOff},
    {"ListenOnlyDrops", 1, 1, DropReason::ListenOnly},
    {"AnyNonZeroEnableIsOn", 5, 0, std::nullopt},
};

class OutputBlockedTest : public ::testing::TestWithParam<OutputRow> {};

TEST_P(OutputBlockedTest, ChannelSettings) {
    protocol::CanPara channel;
    channel.enable = GetParam().enable;
    channel.workMode = GetParam().workMode;
    EXPECT_EQ(OutputBlocked(channel), GetParam().blocked);
}

INSTANTIATE_TEST_SUITE_P(Rows, OutputBlockedTest, ::testing::ValuesIn(OUTPUT_ROWS),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AcceptanceProblemTest, OnlyFilteringOnWithNoFilterIsRefusedNamingTheChannel) {
    EXPECT_EQ(AcceptanceProblem(Filters(1, 0), 1),
              "CAN2: acceptance filtering is on with no filter");
    EXPECT_EQ(AcceptanceProblem(Filters(1, 1), 0), "");
    EXPECT_EQ(AcceptanceProblem(Filters(0, 0), 0), "");
}

TEST(DropReasonTextTest, EveryReasonHasItsText) {
    EXPECT_EQ(DropReasonText(DropReason::ChannelOff), "channel off");
    EXPECT_EQ(DropReasonText(DropReason::ListenOnly), "listen-only");
    EXPECT_EQ(DropReasonText(DropReason::IdentifierTooWide), "identifier too wide for its format");
}

}  // namespace
}  // namespace quillon::behaviour
