#include "protocol/DtuFrameReader.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "protocol/DtuFrames.hpp"
#include "protocol/DtuLiteralFrames.hpp"
#include "protocol/DtuUnsentParts.hpp"

namespace quillon::test {
namespace {

using protocol::BuildDtuFrames;
using protocol::DtuAdvPara;
using protocol::DtuBasicPara;
using protocol::DtuFrameReader;
using protocol::PhoneSlot;
using Frames = std::vector<CanFrameRecord>;

template <std::size_t N>
void Fill(std::array<std::uint8_t, N>& bytes, std::uint8_t first) {
    for (std::size_t i = 0; i < N; ++i) {
        bytes[i] = static_cast<std::uint8_t>(first + i);
    }
}

PhoneSlot FullPhone(std::uint8_t first) {
    PhoneSlot slot;
    for (std::size_t i = 0; i < PhoneSlot::MAX_DIGITS; ++i) {
        slot.digits[i] = static_cast<std::uint8_t>('0' + (first + i) % 10);
    }
    slot.length = PhoneSlot::MAX_DIGITS;
    return slot;
}

DtuBasicPara MaximalBasic() {
    DtuBasicPara b;
    b.checksum = 0xA5;
    Fill(b.serverAddr, 'A');
    b.serverAddrLen = 32;
    b.reserved34 = {0x5A, 0x5B};
    b.serverPort = 65534;
    b.connectMode = 2;
    b.protocol = 2;
    b.reserved42 = {0x5C, 0x5D};
    b.heartbeatSec = 0xFFFFFFFF;
    Fill(b.heartbeat, 0x80);
    b.heartbeatHex = 1;
    b.heartbeatLen = 96;
    Fill(b.regPacket, 0x01);
    b.regHex = 1;
    b.regLen = 96;
    b.downlinkTimeoutSec = 0xFFFFFFFE;
    b.smsOutput = 2;
    b.smsCoding = 2;
    b.smsAlert = 3;
    b.reserved251 = 0x5E;
    b.uartBaud = 115200;
    b.uartParity = 2;
    b.uartDataBits = 3;
    b.uartStopBits = 2;
    b.reserved259 = 0x5F;
    return b;
}

DtuAdvPara MaximalAdvanced() {
    DtuAdvPara a;
    a.checksum = 0x3C;
    Fill(a.backupAddr, 'a');
    a.backupAddrLen = 32;
    a.reserved34 = {0x71, 0x72};
    a.backupPort = 65534;
    a.rtcAutoCal = 1;
    a.netProtocol = 2;
    Fill(a.apn, '0');
    a.apnModify = 1;
    a.apnLen = 32;
    for (std::size_t i = 0; i < a.smsPhones.size(); ++i) {
        a.smsPhones[i] = FullPhone(static_cast<std::uint8_t>(i));
    }
    a.wakePhone = FullPhone(7);
    a.noSignalRebootMin = 65535;
    a.timedStartMin = 65535;
    return a;
}

TEST(DtuFrameReader, RecordsComeBackWholeFromTheirFrames) {
    const DtuBasicPara basic = MaximalBasic();
    const DtuAdvPara advanced = MaximalAdvanced();
    const auto build = BuildDtuFrames(basic, advanced);
    ASSERT_TRUE(build.ok);
    EXPECT_EQ(build.frames.size(), 62u);
    const auto reader = DtuFrameReader::Read(build.frames, Unsent(basic), Unsent(advanced));
    EXPECT_TRUE(reader.Complete()) << reader.FirstProblem();
    EXPECT_EQ(reader.ProblemCount(), 0u);
    EXPECT_EQ(reader.Basic(), basic);
    EXPECT_EQ(reader.Advanced(), advanced);
}

TEST(DtuFrameReader, LiteralSequenceGivesBothRecordsBack) {
    const auto frames = LiteralDtuRecords();
    const auto reader = DtuFrameReader::Read(frames);
    EXPECT_TRUE(reader.Complete()) << reader.FirstProblem();
    EXPECT_EQ(reader.Basic(), LiteralBasic());
    EXPECT_EQ(reader.Advanced(), LiteralAdvanced());
}

TEST(DtuFrameReader, WhatIsNotSentKeepsTheDevicesValue) {
    DtuBasicPara start;
    start.checksum = 0x11;
    start.heartbeatHex = 1;
    start.regHex = 1;
    start.serverAddr.fill('Z');
    start.heartbeat.fill('Y');
    DtuAdvPara advancedStart;
    advancedStart.apnModify = 1;
    advancedStart.smsPhones[2].digits.fill('9');
    DtuBasicPara sent = MaximalBasic();
    sent.serverAddrLen = 3;
    sent.heartbeatLen = 2;
    sent.heartbeatHex = 0;
    sent.regHex = 0;
    DtuAdvPara sentAdvanced = MaximalAdvanced();
    sentAdvanced.apnModify = 0;
    sentAdvanced.smsPhones[2].length = 4;

    const auto reader =
        DtuFrameReader::Read(BuildDtuFrames(sent, sentAdvanced).frames, start, advancedStart);
    ASSERT_TRUE(reader.Complete()) << reader.FirstProblem();
    const auto& basic = reader.Basic();
    EXPECT_EQ(basic.checksum, 0x11);
    EXPECT_EQ(basic.heartbeatHex, 1);
    EXPECT_EQ(basic.regHex, 1);
    EXPECT_EQ(std::string(basic.serverAddr.begin(), basic.serverAddr.begin() + 5),
              std::string("ABC\0Z", 5))
        << "a zero byte after a short address, as the page stores it";
    EXPECT_EQ(std::string(basic.heartbeat.begin(), basic.heartbeat.begin() + 3),
              std::string("\x80\x81Y"))
        << "no terminator after a packet";
    EXPECT_EQ(reader.Advanced().apnModify, 1);
    EXPECT_EQ(reader.Advanced().smsPhones[2].length, 4);
    EXPECT_EQ(reader.Advanced().smsPhones[2].digits[4], '9');
}

TEST(DtuFrameReader, PortsAndMinutesArriveAsTheirLowSixteenBits) {
    DtuBasicPara basic = MaximalBasic();
    basic.serverPort = 70000;
    basic.uartBaud = 0x00012345;
    DtuAdvPara advanced = MaximalAdvanced();
    advanced.backupPort = 0x10002;
    advanced.noSignalRebootMin = 0x12345;
    advanced.timedStartMin = 0xABCDEF;
    const auto reader = DtuFrameReader::Read(BuildDtuFrames(basic, advanced).frames);
    EXPECT_EQ(reader.Basic().serverPort, 4464u);
    EXPECT_EQ(reader.Basic().uartBaud, 0x00012345u);
    EXPECT_EQ(reader.Advanced().backupPort, 2u);
    EXPECT_EQ(reader.Advanced().noSignalRebootMin, 0x2345u);
    EXPECT_EQ(reader.Advanced().timedStartMin, 0xCDEFu);
}

// The frames of a record with a 20-byte server address (0x10 and two 0x11)
// and a nine-digit first SMS number.
struct DamagedSequence {
    DamagedSequence() {
        basic = MaximalBasic();
        basic.serverAddrLen = 20;
        advanced = MaximalAdvanced();
        advanced.smsPhones[0].length = 9;
        frames = BuildDtuFrames(basic, advanced).frames;
        start.serverAddr.fill('s');
        start.serverAddrLen = 1;
        start.serverPort = 1234;
        advancedStart.smsPhones[0] = FullPhone(5);
    }
    std::size_t IndexOf(std::uint32_t id, std::size_t nth = 0) const {
        for (std::size_t i = 0; i < frames.size(); ++i) {
            if (frames[i].ID == id && nth-- == 0) {
                return i;
            }
        }
        ADD_FAILURE() << "no frame " << id;
        return 0;
    }
    DtuFrameReader Read() const { return DtuFrameReader::Read(frames, start, advancedStart); }
    void Erase(std::uint32_t id) { frames.erase(frames.begin() + static_cast<long>(IndexOf(id))); }

    DtuBasicPara basic;
    DtuAdvPara advanced;
    Frames frames;
    DtuBasicPara start;
    DtuAdvPara advancedStart;
};

TEST(DtuFrameReaderDamage, AFieldIsStoredWholeOrNotAtAll) {
    const struct {
        const char* name;
        std::function<void(DamagedSequence&)> damage;
        std::string problem;
        bool addressKept;
    } rows[] = {
        {"first frame cut short", [](auto& t) { t.frames[t.IndexOf(0x10)].DataLen = 5; },
         "DTU frame 1 (0x10): DataLen 5, needs 8", true},
        {"continuation missing", [](auto& t) { t.Erase(0x11); }, "", true},
        {"continuation numbered past the run",
         [](auto& t) { t.frames[t.IndexOf(0x11)].Data[0] = 9; },
         "DTU frame 2 (0x11): run frame 9 outside a run of 3 frames", true},
        {"continuation numbered zero", [](auto& t) { t.frames[t.IndexOf(0x11)].Data[0] = 0; },
         "DTU frame 2 (0x11): run frame 0 outside a run of 3 frames", true},
        {"continuation before the first frame",
         [](auto& t) { std::swap(t.frames[0], t.frames[1]); },
         "DTU frame 1 (0x11): run frame without the first frame of serverAddr", true},
        {"length above the field", [](auto& t) { t.frames[0].Data[0] = 33; },
         "DTU frame 1 (0x10): serverAddr length 33 above 32", true},
        {"DataLen above eight", [](auto& t) { t.frames[t.IndexOf(0x11, 1)].DataLen = 255; },
         "DTU frame 3 (0x11): DataLen 255 above 8", true},
        {"remote frame", [](auto& t) { t.frames[t.IndexOf(0x11, 1)].RemoteFlag = 1; },
         "DTU frame 3 (0x11): not a data frame with a standard identifier", true},
        {"frames repeated in order",
         [](auto& t) {
             const Frames address(t.frames.begin(), t.frames.begin() + 3);
             t.frames.insert(t.frames.begin() + 3, address.begin(), address.end());
         },
         "", false},
        {"unused identifier",
         [](auto& t) {
             CanFrameRecord unused = t.frames[0];
             unused.ID = 0x2A;
             t.frames.insert(t.frames.begin() + 3, unused);
         },
         "DTU frame 4 (0x2A): not a frame of the DTU parameters", false},
        {"no closing frame", [](auto& t) { t.frames.pop_back(); }, "", false},
        {"closing frame without its mark", [](auto& t) { t.frames.back().Data[0] = 0; },
         "DTU frame 60 (0x3F): closing frame without 0xFF", false},
        {"frame after the closing frame", [](auto& t) { t.frames.push_back(t.frames[3]); },
         "DTU frame 61 (0x12): after the closing frame", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        DamagedSequence t;
        row.damage(t);
        const auto reader = t.Read();
        EXPECT_EQ(reader.FirstProblem(), row.problem);
        const bool repeated = std::string(row.name) == "frames repeated in order";
        EXPECT_EQ(reader.Complete(), repeated) << "only a repeat leaves nothing amiss";
        const auto& address = reader.Basic().serverAddr;
        if (row.addressKept) {
            EXPECT_EQ(reader.Basic().serverAddrLen, 1);
            EXPECT_EQ(address, t.start.serverAddr);
        } else {
            EXPECT_EQ(reader.Basic().serverAddrLen, 20);
            EXPECT_TRUE(
                std::equal(address.begin(), address.begin() + 20, t.basic.serverAddr.begin()));
        }
        EXPECT_EQ(reader.Advanced().wakePhone, t.advanced.wakePhone) << "later fields still arrive";
    }
}

TEST(DtuFrameReaderDamage, ShortFixedAndPhoneFramesLeaveTheirFields) {
    DamagedSequence t;
    t.frames[t.IndexOf(0x12)].DataLen = 7;
    t.frames[t.IndexOf(0x1E)].Data[0] = 16;
    const auto reader = t.Read();
    EXPECT_EQ(reader.FirstProblem(), "DTU frame 4 (0x12): DataLen 7, needs 8");
    EXPECT_EQ(reader.ProblemCount(), 3u) << "the phone's length, then its orphaned second frame";
    EXPECT_EQ(reader.Basic().serverPort, 1234u);
    EXPECT_EQ(reader.Basic().connectMode, 0) << "nothing of the frame is taken";
    EXPECT_EQ(reader.Advanced().smsPhones[0], t.advancedStart.smsPhones[0]);
    EXPECT_EQ(reader.Advanced().smsPhones[1], t.advanced.smsPhones[1]);
    EXPECT_FALSE(reader.Complete());
}

// Cutting any one frame to any length leaves every byte either as sent or as
// it was: a field never arrives half written.
TEST(DtuFrameReaderDamage, EveryTruncationKeepsOrReplacesWholeFields) {
    const DamagedSequence t;
    const Frames& frames = t.frames;
    DtuBasicPara filledBasic;
    DtuAdvPara filledAdvanced;
    {
        std::array<std::uint8_t, DtuBasicPara::SIZE> b{};
        b.fill(0xEE);
        filledBasic = DtuBasicPara::FromBytes(b);
        std::array<std::uint8_t, DtuAdvPara::SIZE> a{};
        a.fill(0xEE);
        filledAdvanced = DtuAdvPara::FromBytes(a);
    }
    const auto whole = DtuFrameReader::Read(frames, filledBasic, filledAdvanced);
    const auto sentBasic = whole.Basic().ToBytes();
    const auto sentAdvanced = whole.Advanced().ToBytes();
    std::size_t mixed = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        for (std::uint8_t length = 0; length < frames[i].DataLen; ++length) {
            Frames cut = frames;
            cut[i].DataLen = length;
            const auto reader = DtuFrameReader::Read(cut, filledBasic, filledAdvanced);
            const auto b = reader.Basic().ToBytes();
            const auto a = reader.Advanced().ToBytes();
            for (std::size_t k = 0; k < b.size(); ++k) {
                mixed += b[k] != sentBasic[k] && b[k] != 0xEE;
            }
            for (std::size_t k = 0; k < a.size(); ++k) {
                mixed += a[k] != sentAdvanced[k] && a[k] != 0xEE;
            }
        }
    }
    EXPECT_EQ(mixed, 0u);
}

// Random frames never store a length above its field, whatever they claim.
TEST(DtuFrameReader, RandomFramesNeverStoreALengthAboveItsField) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 2000; ++round) {
        Frames frames(random() % 80);
        for (auto& frame : frames) {
            frame.ID = 0x10 + random() % 0x31;
            frame.DataLen = static_cast<std::uint8_t>(random() % 12);
            for (auto& byte : frame.Data) {
                byte = static_cast<std::uint8_t>(random() % 4 == 0 ? random() % 40 : random());
            }
        }
        const auto reader = DtuFrameReader::Read(frames);
        const auto& b = reader.Basic();
        const auto& a = reader.Advanced();
        ASSERT_LE(b.serverAddrLen, 32);
        ASSERT_LE(b.heartbeatLen, 96);
        ASSERT_LE(b.regLen, 96);
        ASSERT_LE(a.backupAddrLen, 32);
        ASSERT_LE(a.apnLen, 32);
        for (const auto& slot : a.smsPhones) {
            ASSERT_LE(slot.length, 15);
        }
        ASSERT_LE(a.wakePhone.length, 15);
        ASSERT_LE(reader.ProblemCount(), frames.size());
    }
}

}  // namespace
}  // namespace quillon::test
