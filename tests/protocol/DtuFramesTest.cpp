#include "protocol/DtuFrames.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "protocol/DtuLiteralFrames.hpp"

namespace quillon::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using protocol::BuildDtuFrames;
using protocol::DtuAdvPara;
using protocol::DtuBasicPara;

DtuBasicPara BasicWithAddress(std::size_t length) {
    DtuBasicPara basic;
    for (std::size_t i = 0; i < 32; ++i) {
        basic.serverAddr[i] = static_cast<std::uint8_t>('a' + i % 26);
    }
    basic.serverAddrLen = static_cast<std::uint8_t>(length);
    return basic;
}

std::vector<CanFrameRecord> FramesWithId(const std::vector<CanFrameRecord>& frames,
                                         std::uint32_t first, std::uint32_t next) {
    std::vector<CanFrameRecord> run;
    for (const auto& frame : frames) {
        if (frame.ID == first || frame.ID == next) {
            run.push_back(frame);
        }
    }
    return run;
}

Bytes Data(const CanFrameRecord& frame, std::size_t from, std::size_t count) {
    return {frame.Data + from, frame.Data + from + count};
}

TEST(DtuFrames, EveryFrameLeavesInTableOrderWithItsBytes) {
    const auto build = BuildDtuFrames(LiteralBasic(), LiteralAdvanced());
    ASSERT_TRUE(build.ok) << build.message;
    const auto& want = LiteralDtuSequence();
    ASSERT_EQ(build.frames.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        const CanFrameRecord& frame = build.frames[i];
        EXPECT_EQ(frame.ID, want[i].id) << "frame " << i;
        EXPECT_EQ(frame.ExternFlag, 0) << "frame " << i;
        EXPECT_EQ(frame.RemoteFlag, 0) << "frame " << i;
        EXPECT_EQ(frame.DataLen, want[i].dataLen) << "frame " << i;
        EXPECT_EQ(Data(frame, 0, 8), Bytes(want[i].data.begin(), want[i].data.end()))
            << "frame " << i << " (0x" << std::hex << want[i].id << ")";
    }
}

TEST(DtuFrames, RunOfSevenBytesEndsWithAnEmptyFrame) {
    const auto build = BuildDtuFrames(BasicWithAddress(7), DtuAdvPara{});
    ASSERT_TRUE(build.ok);
    const auto run = FramesWithId(build.frames, 0x10, 0x11);
    ASSERT_EQ(run.size(), 2u);
    EXPECT_EQ(run[0].ID, 0x10u);
    EXPECT_EQ(Data(run[0], 0, 8), (Bytes{7, 'a', 'b', 'c', 'd', 'e', 'f', 'g'}));
    EXPECT_EQ(run[1].ID, 0x11u);
    EXPECT_EQ(run[1].Data[0], 2);
    EXPECT_EQ(build.frames.front().ID, 0x10u);
    EXPECT_EQ(build.frames.back().ID, 0x3Fu);
    EXPECT_EQ(Data(build.frames.back(), 0, build.frames.back().DataLen), (Bytes{0xFF}));
}

TEST(DtuFrames, RunOfTwentyBytesNumbersItsFrames) {
    const auto run = FramesWithId(BuildDtuFrames(BasicWithAddress(20), {}).frames, 0x10, 0x11);
    ASSERT_EQ(run.size(), 3u);
    EXPECT_EQ(Data(run[1], 0, 8), (Bytes{2, 'h', 'i', 'j', 'k', 'l', 'm', 'n'}));
    EXPECT_EQ(Data(run[2], 0, 7), (Bytes{3, 'o', 'p', 'q', 'r', 's', 't'}));
    EXPECT_EQ(run[2].ID, 0x11u);
}

TEST(DtuFrames, EmptyFieldsAndFixedFrames) {
    DtuBasicPara basic = BasicWithAddress(3);
    basic.serverPort = 70000;
    basic.uartBaud = 0x0001C200;
    DtuAdvPara advanced;
    advanced.wakePhone.length = 9;
    advanced.wakePhone.digits = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    const auto frames = BuildDtuFrames(basic, advanced).frames;
    const auto heartbeat = FramesWithId(frames, 0x13, 0x14);
    ASSERT_EQ(heartbeat.size(), 1u);
    EXPECT_EQ(heartbeat[0].Data[0], 0);
    ASSERT_EQ(FramesWithId(frames, 0x19, 0x1A).size(), 1u);
    const auto port = FramesWithId(frames, 0x12, 0x12);
    EXPECT_EQ(Data(port[0], 0, 2), (Bytes{0x70, 0x11}));  // 4464
    const auto serial = FramesWithId(frames, 0x18, 0x18);
    EXPECT_EQ(Data(serial[0], 0, 4), (Bytes{0x00, 0xC2, 0x01, 0x00}));
    EXPECT_EQ(serial[0].Data[7], 0xFF);
    const auto wake = FramesWithId(frames, 0x2C, 0x2D);
    ASSERT_EQ(wake.size(), 2u);
    EXPECT_EQ(Data(wake[0], 0, 8), (Bytes{9, '1', '2', '3', '4', '5', '6', '7'}));
    EXPECT_EQ(Data(wake[1], 0, 2), (Bytes{'8', '9'}));
}

struct CheckCase {
    const char* name;
    std::function<void(DtuBasicPara&, DtuAdvPara&)> spoil;
    const char* message;
};

class DtuFrameCheckTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(DtuFrameCheckTest, RefusesBeforeAnythingIsSent) {
    DtuBasicPara basic = BasicWithAddress(5);
    DtuAdvPara advanced;
    GetParam().spoil(basic, advanced);
    const auto build = BuildDtuFrames(basic, advanced);
    EXPECT_FALSE(build.ok);
    EXPECT_TRUE(build.frames.empty());
    EXPECT_EQ(build.message, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Records, DtuFrameCheckTest,
    ::testing::Values(
        CheckCase{"EmptyAddress", [](auto& b, auto&) { b.serverAddrLen = 0; }, "地址长度有问题!"},
        CheckCase{"LongAddress", [](auto& b, auto&) { b.serverAddrLen = 33; }, "地址长度有问题!"},
        CheckCase{"Heartbeat", [](auto& b, auto&) { b.heartbeatLen = 97; }, "心跳包长度过长!"},
        CheckCase{"Registration", [](auto& b, auto&) { b.regLen = 97; }, "注册包长度过长!"},
        CheckCase{"Backup", [](auto&, auto& a) { a.backupAddrLen = 33; }, "备用地址长度过长!"},
        CheckCase{"Apn", [](auto&, auto& a) { a.apnLen = 33; }, "APN长度过长!"},
        CheckCase{"Phone", [](auto&, auto& a) { a.smsPhones[3].length = 16; }, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillon::test
