#include <gtest/gtest.h>

#include "driver/backend/AdapterUsbProtocol.hpp"

namespace brindle::usb {
namespace {

using Bytes = std::vector<std::uint8_t>;

CanFrameRecord Frame(std::uint32_t id, Bytes data, bool extended = false, bool remote = false) {
    CanFrameRecord frame{};
    frame.ID = id;
    frame.ExternFlag = extended ? 1 : 0;
    frame.RemoteFlag = remote ? 1 : 0;
    frame.DataLen = static_cast<std::uint8_t>(data.size());
    std::copy(data.begin(), data.end(), frame.Data);
    return frame;
}

TEST(AdapterUsbProtocolTest, FrameRecordHasExactBytes) {
    const auto bytes = EncodeFrame(0, Frame(0x123, {0xDE, 0xAD}));
    const Bytes expected{0, 0, 2, 0, 0x23, 0x01, 0, 0, 0, 0, 0, 0, 0xDE, 0xAD, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), expected);
    CanFrameRecord stamped = Frame(0x1ABCDEF0, {1, 2, 3, 4, 5, 6, 7, 8}, true, true);
    stamped.TimeStamp = 0x01020304;
    const auto other = EncodeFrame(1, stamped);
    EXPECT_EQ(Bytes(other.begin(), other.begin() + 12),
              (Bytes{1, 3, 8, 0, 0xF0, 0xDE, 0xBC, 0x1A, 0x04, 0x03, 0x02, 0x01}));
}

TEST(AdapterUsbProtocolTest, FrameRecordRoundTripsAtEveryLength) {
    for (std::uint8_t length : {0, 1, 7, 8}) {
        CanFrameRecord frame = Frame(0x7FF, Bytes(length, 0x5A), false, length == 0);
        frame.TimeStamp = 99;
        const auto decoded = DecodeFrame(EncodeFrame(1, frame));
        ASSERT_TRUE(decoded) << int(length);
        EXPECT_EQ(decoded->channel, 1);
        EXPECT_EQ(decoded->frame.ID, 0x7FFU);
        EXPECT_EQ(decoded->frame.DataLen, length);
        EXPECT_EQ(decoded->frame.TimeStamp, 99U);
        EXPECT_EQ(decoded->frame.RemoteFlag, length == 0 ? 1 : 0);
        EXPECT_EQ(Bytes(decoded->frame.Data, decoded->frame.Data + length), Bytes(length, 0x5A));
    }
}

struct BadRecord {
    const char* label;
    std::size_t offset;
    std::uint8_t value;
};

TEST(AdapterUsbProtocolTest, RecordsOutOfRangeAreRefused) {
    const BadRecord cases[] = {{"length 9", 2, 9}, {"unknown flag", 1, 0x04}};
    for (const BadRecord& c : cases) {
        auto bytes = EncodeFrame(0, Frame(1, {1}));
        bytes[c.offset] = c.value;
        EXPECT_FALSE(DecodeFrame(bytes)) << c.label;
    }
    const auto bytes = EncodeFrame(0, Frame(1, {1}));
    EXPECT_FALSE(DecodeFrame(std::span(bytes).first(19)));
}

TEST(AdapterUsbProtocolTest, InitCommandCarriesTheRecordLittleEndian) {
    CanInitRecord init{};
    init.AccCode = 1;
    init.AccMask = 0x10;
    init.Timing0 = 0xFF;
    init.Timing1 = 0xFF;
    const Bytes command = EncodeCommand(Command{Opcode::InitChannel, 1, EncodeInitPayload(init)});
    const Bytes expected{1, 1, 0, 0, 1, 0, 0, 0, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0};
    EXPECT_EQ(command, expected);
    const CanInitRecord decoded = DecodeInitPayload(std::span(command).subspan(4));
    EXPECT_EQ(decoded.AccMask, 0x10U);
    EXPECT_EQ(decoded.Timing1, 0xFF);
}

// Found by the usb_protocol fuzz target: an empty payload was read 16 bytes past its end.
TEST(AdapterUsbProtocolTest, ShortInitPayloadReadsTheMissingBytesAsZero) {
    const Bytes whole{1, 0, 0, 0, 0x10, 0x20, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFE, 7};
    struct Row {
        std::size_t length;
        std::uint32_t accCode;
        std::uint32_t accMask;
        std::uint8_t timing1;
        std::uint8_t mode;
    };
    const Row rows[] = {{0, 0, 0, 0, 0},
                        {1, 1, 0, 0, 0},
                        {5, 1, 0x10, 0, 0},
                        {15, 1, 0x2010, 0xFE, 0},
                        {16, 1, 0x2010, 0xFE, 7}};
    for (const auto& row : rows) {
        const Bytes payload(whole.begin(), whole.begin() + static_cast<long>(row.length));
        const CanInitRecord decoded = DecodeInitPayload(payload);
        EXPECT_EQ(decoded.AccCode, row.accCode) << row.length;
        EXPECT_EQ(decoded.AccMask, row.accMask) << row.length;
        EXPECT_EQ(decoded.Timing1, row.timing1) << row.length;
        EXPECT_EQ(decoded.Mode, row.mode) << row.length;
    }
}

TEST(AdapterUsbProtocolTest, ResponseRoundTripsAndRejectsUnknownStatus) {
    Response response;
    response.opcode = 3;
    response.channel = 1;
    response.status = ResponseStatus::Refused;
    response.error.ErrCode = KELVIX_ERR_BACKEND;
    response.error.ArLost_ErrData = 7;
    auto bytes = EncodeResponse(response);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), (Bytes{3, 1, 4, 0, 0, 4, 0, 0, 0, 0, 0, 7}));
    const auto decoded = DecodeResponse(bytes);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->error.ErrCode, static_cast<std::uint32_t>(KELVIX_ERR_BACKEND));
    bytes[2] = 5;
    EXPECT_FALSE(DecodeResponse(bytes));
    EXPECT_FALSE(DecodeResponse(std::span(bytes).first(11)));
}

}  // namespace
}  // namespace brindle::usb
