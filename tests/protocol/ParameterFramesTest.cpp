// Every parameter frame layout pinned to bytes written out by hand from the
// frame tables: built from records whose fields all differ, and decoded back
// from the same literal bytes into records written out the same way.
#include "protocol/ParameterFrames.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace quillon::protocol {
namespace {

using Payload = std::array<std::uint8_t, 8>;

// One frame as it must appear on the bus before enciphering.
struct Expected {
    std::uint32_t id;
    bool extended;
    std::uint8_t dataLen;
    Payload data;
};

std::string Describe(const CanFrameRecord& frame) {
    std::string text = (frame.ExternFlag != 0 ? "ext " : "std ") + std::to_string(frame.ID) +
                       " len " + std::to_string(frame.DataLen) + ":";
    char hex[4];
    for (const std::uint8_t byte : frame.Data) {
        std::snprintf(hex, sizeof(hex), " %02X", byte);
        text += hex;
    }
    return text;
}

::testing::AssertionResult FrameIs(const CanFrameRecord& frame, const Expected& want) {
    const bool same = frame.ID == want.id && (frame.ExternFlag != 0) == want.extended &&
                      frame.RemoteFlag == 0 && frame.SendType == 0 &&
                      frame.DataLen == want.dataLen &&
                      std::equal(want.data.begin(), want.data.end(), frame.Data);
    if (same) {
        return ::testing::AssertionSuccess();
    }
    CanFrameRecord wanted{};
    wanted.ID = want.id;
    wanted.ExternFlag = want.extended ? 1 : 0;
    wanted.DataLen = want.dataLen;
    std::copy(want.data.begin(), want.data.end(), wanted.Data);
    return ::testing::AssertionFailure()
           << "built  " << Describe(frame) << "\nwanted " << Describe(wanted);
}

CanFrameRecord Received(std::uint32_t id, const Payload& data) {
    CanFrameRecord frame{};
    frame.ID = id;
    frame.ExternFlag = 1;
    frame.DataLen = 8;
    std::copy(data.begin(), data.end(), frame.Data);
    return frame;
}

// ---- Records with a different value in every field ------------------------------------------

CanPara Channel() {
    CanPara c;
    c.enable = 0x11;
    c.baudIndex = 0x07;
    c.btr0 = 0x13;
    c.btr1 = 0x14;
    c.workMode = 0x15;
    c.acceptAll = 0x16;
    c.filterCount = 0x0C;
    c.filters[0].used = 0x21;
    c.filters[0].frameType = 0x22;
    c.filters[0].frameFormat = 0x23;
    c.filters[0].trigger = 0x24;
    c.filters[0].idStart = 0x28272625;
    c.filters[0].idEnd = 0x2C2B2A29;
    c.filters[0].interval = 0x302F2E2D;
    c.filters[19].used = 0x31;
    c.filters[19].frameType = 0x32;
    c.filters[19].frameFormat = 0x33;
    c.filters[19].trigger = 0x34;
    c.filters[19].idStart = 0x38373635;
    c.filters[19].idEnd = 0x3C3B3A39;
    c.filters[19].interval = -2;  // FE FF FF FF
    return c;
}

HardFilterPara Filters() {
    HardFilterPara f;
    f.enable = 0x41;
    f.filterCount = 2;
    f.frameFormat[0] = 0x42;
    f.frameFormat[1] = 0x43;
    f.matchValue[0] = 0x47464544;
    f.matchMask[0] = 0x4B4A4948;
    f.matchValue[1] = 0x4F4E4D4C;
    f.matchMask[1] = 0x53525150;
    return f;
}

BridgeRule Rule(std::uint8_t leadByte) {
    BridgeRule r;
    r.leadByte = leadByte;
    r.direction = 0x61;
    r.k = 0x62;
    r.m = 0x63;
    r.trigger = 0x64;
    r.srcFlags = 0x65;
    r.srcDataMask = 0x66;
    r.srcLength = 0x67;
    r.srcId = 0x6B6A6968;
    r.dstId = 0x6F6E6D6C;
    r.dstFlags = 0x70;
    r.yMax = 0x71;
    r.dstDataMask = 0x72;
    r.kMask = 0x73;
    r.mMask = 0x74;
    r.dstLength = 0x75;
    r.srcData = {0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87};
    r.dstData = {0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F};
    return r;
}

ReplayRule Replay() {
    ReplayRule r;
    r.channelMask = 0x03;
    r.times = 0xA2A1;
    r.intervalSec = 0xA6A5A4A3;
    const std::string name = "abcdefghijklmnop";
    std::copy(name.begin(), name.end(), r.fileName.begin());
    return r;
}

// ---- The write direction ---------------------------------------------------------------------

struct BuildCase {
    const char* name;
    std::function<std::vector<CanFrameRecord>()> build;
    std::vector<Expected> frames;
};

class ParameterFrameLayout : public ::testing::TestWithParam<BuildCase> {};

TEST_P(ParameterFrameLayout, IsTheTableByteForByte) {
    const auto built = GetParam().build();
    const auto& want = GetParam().frames;
    ASSERT_EQ(built.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_TRUE(FrameIs(built[i], want[i])) << "frame " << i;
    }
}

template <class Frames>
std::vector<CanFrameRecord> Pick(const Frames& frames, std::initializer_list<std::size_t> which) {
    std::vector<CanFrameRecord> picked;
    for (const std::size_t i : which) {
        picked.push_back(frames[i]);
    }
    return picked;
}

INSTANTIATE_TEST_SUITE_P(
    Frames, ParameterFrameLayout,
    ::testing::Values(
        BuildCase{"Opening",
                  [] { return std::vector{BuildOpeningFrame()}; },
                  {{8, false, 8, {0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}}},
        BuildCase{"ChannelBlockForNewFirmware",
                  [] { return Pick(BuildChannelBlock(Channel(), 11), {0, 1, 2, 3, 40, 41}); },
                  {{1, true, 8, {0x11, 0x07, 0x13, 0x14, 0x15, 0, 0, 0}},
                   {2, true, 8, {0x16, 0x0C, 0, 0, 0, 0, 0, 0}},
                   {3, true, 8, {0x21, 0x22, 0x23, 0x24, 0x2D, 0x2E, 0x2F, 0x30}},
                   {4, true, 8, {0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C}},
                   {41, true, 8, {0x31, 0x32, 0x33, 0x34, 0xFE, 0xFF, 0xFF, 0xFF}},
                   {42, true, 8, {0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C}}}},
        BuildCase{"ChannelCountForOldFirmware",
                  [] { return Pick(BuildChannelBlock(Channel(), 10), {1}); },
                  {{2, true, 8, {0x16, 0x0A, 0, 0, 0, 0, 0, 0}}}},
        BuildCase{"AcceptanceFilters",
                  [] { return BuildHardFilterBlock(Filters()); },
                  {{0x100, true, 8, {0x41, 0x02, 0, 0, 0, 0, 0, 0}},
                   {0x101, true, 8, {0x01, 0x00, 0x42, 0, 0, 0, 0, 0}},
                   {0x102, true, 8, {0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B}},
                   {0x103, true, 8, {0x01, 0x00, 0x43, 0, 0, 0, 0, 0}},
                   {0x104, true, 8, {0x4C, 0x4D, 0x4E, 0x4F, 0x50, 0x51, 0x52, 0x53}}}},
        BuildCase{"BridgeHeader",
                  [] {
                      BridgePara bridge;
                      bridge.ruleCount = 3;
                      bridge.bridgeFlags = 0x5A;
                      return std::vector{BuildBridgeHeader(bridge)};
                  },
                  {{0x1FF, true, 8, {0x03, 0x5A, 0, 0, 0, 0, 0, 0}}}},
        BuildCase{"BridgeRuleTwo",
                  [] {
                      const auto frames = BuildBridgeRule(Rule(0x99), 2);
                      return std::vector<CanFrameRecord>(frames.begin(), frames.end());
                  },
                  {{0x20C, true, 8, {0x01, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67}},
                   {0x20D, true, 8, {0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F}},
                   {0x20E, true, 8, {0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0xFF, 0xFF}},
                   {0x20F, true, 8, {0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87}},
                   {0x210, true, 8, {0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F}}}},
        BuildCase{"ReplayHeader",
                  [] {
                      ReplayPara replay;
                      replay.sendMode = 0x02;
                      replay.ruleCount = 0x05;
                      replay.repeatAll = 0x9291;
                      replay.auxValue = 0x96959493;
                      return std::vector{BuildReplayHeader(replay)};
                  },
                  {{0x2FF, true, 8, {0x02, 0x05, 0x91, 0x92, 0x93, 0x94, 0x95, 0x96}}}},
        BuildCase{"ReplayRuleThree",
                  [] {
                      const auto frames = BuildReplayRule(Replay(), 3);
                      return std::vector<CanFrameRecord>(frames.begin(), frames.end());
                  },
                  {{0x30C, true, 8, {0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0x03, 0xFF}},
                   {0x30D, true, 8, {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'}},
                   {0x30E, true, 8, {'i', 'j', 'k', 'l', 'm', 'n', 'o', 'p'}}}},
        BuildCase{"SystemSettings",
                  [] {
                      SysPara sys;
                      sys.fileSizeMB = 0x0102;
                      sys.sysOption = 0xC3;
                      sys.cyclicOverwrite = 0xC4;
                      sys.firstFrameTimeZero = 0xC5;
                      sys.errorProofing = 0x03;
                      return std::vector{BuildSystemFrame(sys)};
                  },
                  {{4, false, 8, {0x02, 0x01, 0xC3, 0xC4, 0xC5, 0x03, 0xFC, 0x00}}}},
        BuildCase{"LocalTime",
                  [] { return std::vector{BuildTimeFrame({2031, 11, 22, 13, 44, 55, 0})}; },
                  {{5, false, 8, {0x00, 0x1F, 0x0B, 0x16, 0x0D, 0x2C, 0x37, 0x00}}}},
        BuildCase{"ClosingCommands",
                  [] {
                      const auto frames = BuildClosingCommands();
                      return std::vector<CanFrameRecord>(frames.begin(), frames.end());
                  },
                  {{8, false, 1, {0x01, 0, 0, 0, 0, 0, 0, 0}},
                   {0, false, 1, {0x01, 0, 0, 0, 0, 0, 0, 0}}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParameterFrameOrder, ChannelBlockCarriesEveryEntryInIdentifierOrder) {
    CanPara channel = Channel();
    for (std::size_t k = 0; k < channel.filters.size(); ++k) {
        channel.filters[k].used = static_cast<std::uint8_t>(0xA0 + k);
        channel.filters[k].idStart = static_cast<std::uint32_t>(0xB0 + k);
    }
    const auto frames = BuildChannelBlock(channel, 11);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].ID, i + 1) << "frame " << i;
        EXPECT_EQ(frames[i].ExternFlag, 1);
    }
    for (std::size_t k = 0; k < channel.filters.size(); ++k) {
        EXPECT_EQ(frames[2 + 2 * k].Data[0], 0xA0 + k) << "entry " << k;
        EXPECT_EQ(frames[3 + 2 * k].Data[0], 0xB0 + k) << "entry " << k;
    }
}

// ---- The read direction ----------------------------------------------------------------------

struct Targets {
    CanPara channel;
    HardFilterPara filters;
    BridgePara bridge;
    ReplayPara replay;

    bool Decode(std::uint32_t id, const Payload& data) {
        return DecodeParameterFrame(Received(id, data), {channel, filters, bridge, replay});
    }
};

TEST(ParameterFrameDecoding, ChannelFramesFillTheReadBackCopy) {
    Targets t;
    t.Decode(1, {0x11, 0x07, 0x13, 0x14, 0x15, 0, 0, 0});
    t.Decode(2, {0x16, 0x0C, 0, 0, 0, 0, 0, 0});
    t.Decode(3, {0x21, 0x22, 0x23, 0x24, 0x2D, 0x2E, 0x2F, 0x30});
    t.Decode(4, {0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C});
    t.Decode(41, {0x31, 0x32, 0x33, 0x34, 0xFE, 0xFF, 0xFF, 0xFF});
    t.Decode(42, {0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C});
    EXPECT_EQ(t.channel, Channel());
}

TEST(ParameterFrameDecoding, AcceptanceFilterFramesFillTheirSection) {
    Targets t;
    t.Decode(0x100, {0x41, 0x02, 0, 0, 0, 0, 0, 0});
    t.Decode(0x101, {0x01, 0x00, 0x42, 0, 0, 0, 0, 0});
    t.Decode(0x102, {0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B});
    t.Decode(0x103, {0x01, 0x00, 0x43, 0, 0, 0, 0, 0});
    t.Decode(0x104, {0x4C, 0x4D, 0x4E, 0x4F, 0x50, 0x51, 0x52, 0x53});
    EXPECT_EQ(t.filters, Filters());
}

TEST(ParameterFrameDecoding, BridgeFramesFillTheRuleWithTheDevicesLeadByte) {
    Targets t;
    t.Decode(0x1FF, {0x03, 0x5A, 0, 0, 0, 0, 0, 0});
    t.Decode(0x20C, {0x99, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67});
    t.Decode(0x20D, {0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F});
    t.Decode(0x20E, {0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0xFF, 0xFF});
    t.Decode(0x20F, {0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87});
    t.Decode(0x210, {0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F});
    EXPECT_FALSE(t.Decode(0x211, {1, 2, 3, 4, 5, 6, 7, 8})) << "part 5 is never used";
    BridgePara expected;
    expected.ruleCount = 3;
    expected.bridgeFlags = 0x5A;
    expected.rules[2] = Rule(0x99);
    EXPECT_EQ(t.bridge, expected);
}

TEST(ParameterFrameDecoding, ReplayFramesFillTheRuleAndTerminateTheName) {
    Targets t;
    t.replay.rules[3].fileName.fill(0xEE);
    t.Decode(0x2FF, {0x02, 0x05, 0x91, 0x92, 0x93, 0x94, 0x95, 0x96});
    t.Decode(0x30C, {0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0x03, 0xFF});
    t.Decode(0x30D, {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'});
    t.Decode(0x30E, {'i', 'j', 'k', 'l', 'm', 'n', 'o', 'p'});
    EXPECT_FALSE(t.Decode(0x30F, {1, 2, 3, 4, 5, 6, 7, 8})) << "part 3 is never used";
    ReplayPara expected;
    expected.sendMode = 0x02;
    expected.ruleCount = 0x05;
    expected.repeatAll = 0x9291;
    expected.auxValue = 0x96959493;
    expected.rules[3] = Replay();
    EXPECT_EQ(t.replay, expected);
}

CanFrameRecord Standard(std::uint32_t id, std::uint8_t dataLen, const Payload& data) {
    CanFrameRecord frame = Received(id, data);
    frame.ExternFlag = 0;
    frame.DataLen = dataLen;
    return frame;
}

TEST(ParameterFrameDecoding, DeviceReadsTheSystemFrameBackIntoSysPara) {
    SysPara sys;
    sys.checksum = 0x77;
    DecodeSystemFrame(Standard(4, 8, {0x34, 0x12, 0x05, 0x01, 0x00, 0x03, 0xFC, 0x00}), sys);
    EXPECT_EQ(sys.fileSizeMB, 0x1234);
    EXPECT_EQ(sys.sysOption, 0x05);
    EXPECT_EQ(sys.cyclicOverwrite, 0x01);
    EXPECT_EQ(sys.firstFrameTimeZero, 0x00);
    EXPECT_EQ(sys.errorProofing, 0x03);
    EXPECT_EQ(sys.checksum, 0x77) << "the frame carries no checksum";
}

TEST(ParameterFrameDecoding, DeviceReadsTheTimeFromBytesOneToSix) {
    const std::array<std::uint8_t, 6> want = {26, 12, 8, 14, 40, 59};
    EXPECT_EQ(DecodeTimeFrame(Standard(5, 8, {0x00, 26, 12, 8, 14, 40, 59, 0})), want);
}

TEST(ParameterFrameDecoding, OpeningAndApplyCommandsAreToldByLengthAndFirstByte) {
    EXPECT_TRUE(IsOpeningFrame(Standard(8, 8, {0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})));
    EXPECT_FALSE(IsOpeningFrame(Standard(8, 1, {0x01})));
    EXPECT_FALSE(IsOpeningFrame(Standard(8, 8, {0x02})));
    EXPECT_FALSE(IsOpeningFrame(Received(8, {0x01})));
    EXPECT_TRUE(IsApplyCommand(Standard(0, 1, {0x01})));
    EXPECT_FALSE(IsApplyCommand(Standard(0, 8, {0x01})));
    EXPECT_FALSE(IsApplyCommand(Standard(0, 1, {0x00})));
    EXPECT_FALSE(IsApplyCommand(Standard(8, 1, {0x01})));
}

TEST(ParameterFrameDecoding, HeadersAnnounceTheirCounts) {
    const Payload data = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7};
    EXPECT_EQ(AnnouncedCount(Received(2, data)), 0xA1);
    EXPECT_EQ(AnnouncedCount(Received(0x100, data)), 0xA1);
    EXPECT_EQ(AnnouncedCount(Received(0x1FF, data)), 0xA0);
    EXPECT_EQ(AnnouncedCount(Received(0x2FF, data)), 0xA1);
    for (const std::uint32_t id : {1u, 3u, 0x101u, 0x200u, 0x300u}) {
        EXPECT_FALSE(AnnouncedCount(Received(id, data))) << std::hex << id;
    }
    EXPECT_FALSE(AnnouncedCount(Standard(2, 8, data)));
}

}  // namespace
}  // namespace quillon::protocol
