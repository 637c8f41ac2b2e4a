#include "behaviour/BridgeTransform.hpp"

#include <gtest/gtest.h>

#include <string>

#include "tests/behaviour/ModelFrames.hpp"

namespace quillon::behaviour {
namespace {

using protocol::BridgeRule;
using protocol::TimedFrame;
using testing::BridgeRuleOf;
using testing::Data;
using testing::Extended;
using testing::Remote;

struct RuleEdit {
    std::uint8_t dstFlags = 0xF0;
    std::uint32_t dstId = BridgeRule::ANY_ID;
    std::uint8_t dstLength = 9;
    std::uint8_t k = 0;
    std::uint8_t m = 0;
    std::uint8_t kMask = 0;
    std::uint8_t mMask = 0;
    std::uint8_t yMax = 0;
    std::uint8_t dstDataMask = 0;
    std::array<std::uint8_t, 8> dstData{};
};

// `frame` with `bytes` left in its buffer after its own.
TimedFrame WithStaleBytes(TimedFrame frame, std::initializer_list<std::uint8_t> bytes) {
    std::size_t at = frame.remote ? 0 : frame.length;
    for (const std::uint8_t byte : bytes) {
        frame.data[at++] = byte;
    }
    return frame;
}

BridgeRule Rule(const RuleEdit& edit) {
    BridgeRule rule = BridgeRuleOf(2, 2);
    rule.dstFlags = edit.dstFlags;
    rule.dstId = edit.dstId;
    rule.dstLength = edit.dstLength;
    rule.k = edit.k;
    rule.m = edit.m;
    rule.kMask = edit.kMask;
    rule.mMask = edit.mMask;
    rule.yMax = edit.yMax;
    rule.dstDataMask = edit.dstDataMask;
    rule.dstData = edit.dstData;
    return rule;
}

struct TransformRow {
    const char* name;
    RuleEdit edit;
    TimedFrame source;
    std::optional<TimedFrame> forwarded;  ///< on channel 1, at the source's time
};

TimedFrame On1(TimedFrame frame) {
    frame.channel = 1;
    return frame;
}

const TransformRow TRANSFORM_ROWS[] = {
    {"NothingChanged", {}, Data(0, 0x123, {1, 2, 3}, 77), On1(Data(0, 0x123, {1, 2, 3}, 77))},
    {"ExtendedKept", {}, Extended(Data(0, 0x1ABCDEF, {})), On1(Extended(Data(0, 0x1ABCDEF, {})))},
    {"RemoteKept", {}, Remote(0, 0x10, 3), On1(Remote(0, 0x10, 3))},
    {"NewId", {.dstId = 0x456}, Data(0, 0x123, {1}), On1(Data(0, 0x456, {1}))},
    {"ToExtended", {.dstFlags = 0xF4}, Data(0, 0x123, {}), On1(Extended(Data(0, 0x123, {})))},
    {"ToStandard", {.dstFlags = 0xF8}, Extended(Data(0, 0x123, {})), On1(Data(0, 0x123, {}))},
    {"FormatBitsTwelveKeep",
     {.dstFlags = 0xFC},
     Extended(Data(0, 0x1, {})),
     On1(Extended(Data(0, 0x1, {})))},
    {"ToRemoteCarriesNoData", {.dstFlags = 0xF1}, Data(0, 0x20, {1, 2}), On1(Remote(0, 0x20, 2))},
    {"ToDataFromRemoteGivesZeros",
     {.dstFlags = 0xF2},
     Remote(0, 0x20, 2),
     On1(Data(0, 0x20, {0, 0}))},
    {"TypeBitsThreeKeep", {.dstFlags = 0xF3}, Remote(0, 0x20, 1), On1(Remote(0, 0x20, 1))},
    {"TooWideForStandardIsNotSent", {.dstFlags = 0xF8}, Extended(Data(0, 0x800, {})), std::nullopt},
    {"NewIdTooWideForStandard", {.dstId = 0x800}, Data(0, 0x7FF, {}), std::nullopt},
    {"TooWideForExtended", {.dstId = 0x20000000}, Extended(Data(0, 0x1, {})), std::nullopt},
    {"WidestFits",
     {.dstId = 0x1FFFFFFF},
     Extended(Data(0, 0x1, {})),
     On1(Extended(Data(0, 0x1FFFFFFF, {})))},
    {"LengthShortens", {.dstLength = 1}, Data(0, 1, {5, 6, 7}), On1(Data(0, 1, {5}))},
    {"LengthZero", {.dstLength = 0}, Data(0, 1, {5}), On1(Data(0, 1, {}))},
    {"LengthGrowsWithZeros", {.dstLength = 4}, Data(0, 1, {5}), On1(Data(0, 1, {5, 0, 0, 0}))},
    {"LengthTenKeeps", {.dstLength = 10}, Data(0, 1, {5, 6}), On1(Data(0, 1, {5, 6}))},
    {"ConstantByte",
     {.dstDataMask = 0x02, .dstData = {0, 0xEE}},
     Data(0, 1, {5, 6, 7}),
     On1(Data(0, 1, {5, 0xEE, 7}))},
    {"ConstantBeyondSourceLength",
     {.dstLength = 3, .dstDataMask = 0x04, .dstData = {0, 0, 0x33}},
     Data(0, 1, {5}),
     On1(Data(0, 1, {5, 0, 0x33}))},
    {"ConstantIsNotLimitedByYMax",
     {.yMax = 0x10, .dstDataMask = 0x01, .dstData = {0xFF}},
     Data(0, 1, {0}),
     On1(Data(0, 1, {0xFF}))},
    {"TimesK", {.k = 3, .kMask = 0x01}, Data(0, 1, {5, 5}), On1(Data(0, 1, {15, 5}))},
    {"PlusM", {.m = 4, .mMask = 0x02}, Data(0, 1, {5, 5}), On1(Data(0, 1, {5, 9}))},
    {"TimesKPlusM",
     {.k = 2, .m = 1, .kMask = 0x01, .mMask = 0x01},
     Data(0, 1, {10}),
     On1(Data(0, 1, {21}))},
    {"KWithoutItsBitIgnored", {.k = 9, .m = 9}, Data(0, 1, {10}), On1(Data(0, 1, {10}))},
    {"ProductLimitedTo255", {.k = 100, .kMask = 0x01}, Data(0, 1, {10}), On1(Data(0, 1, {255}))},
    {"SumLimitedTo255", {.m = 200, .mMask = 0x01}, Data(0, 1, {100}), On1(Data(0, 1, {255}))},
    {"YMaxLimitsComputed",
     {.k = 2, .kMask = 0x01, .yMax = 15},
     Data(0, 1, {10, 20}),
     On1(Data(0, 1, {15, 15}))},
    {"YMaxLimitsPlainByte", {.yMax = 15}, Data(0, 1, {16}), On1(Data(0, 1, {15}))},
    {"KZeroGivesZero", {.k = 0, .kMask = 0x01}, Data(0, 1, {99}), On1(Data(0, 1, {0}))},
    {"MissingSourceByteIsZeroPlusM",
     {.dstLength = 2, .m = 7, .mMask = 0x02},
     Data(0, 1, {1}),
     On1(Data(0, 1, {1, 7}))},
    {"RemoteSourceBytesAreZero",
     {.dstFlags = 0xF2, .m = 3, .mMask = 0x01},
     Remote(0, 1, 1),
     On1(Data(0, 1, {3}))},
    // A frame may carry bytes past its length (from a reused buffer): they
    // are not the source's, and count as 0.
    {"BytesPastTheSourceLengthAreZero",
     {.dstLength = 3, .m = 5, .mMask = 0x06},
     WithStaleBytes(Data(0, 1, {0x11}), {0x77, 0x66}),
     On1(Data(0, 1, {0x11, 5, 5}))},
    {"BytesOfARemoteSourceAreZero",
     {.dstFlags = 0xF2, .dstLength = 2, .m = 1, .mMask = 0x03},
     WithStaleBytes(Remote(0, 1, 0), {0x40, 0x41}),
     On1(Data(0, 1, {1, 1}))},
};

class TransformTest : public ::testing::TestWithParam<TransformRow> {};

TEST_P(TransformTest, ForwardedFrame) {
    EXPECT_EQ(Transformed(Rule(GetParam().edit), GetParam().source, 1), GetParam().forwarded);
}

INSTANTIATE_TEST_SUITE_P(Rows, TransformTest, ::testing::ValuesIn(TRANSFORM_ROWS),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillon::behaviour
