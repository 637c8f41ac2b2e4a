// Both DTU records with a different value in every field that travels, and the
// whole frame sequence for them written out by hand from the frame table: the
// build must produce exactly these frames in this order, and the device must
// read the records back from them.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/kelvix/Kelvix.h"
#include "protocol/DtuAdvPara.hpp"
#include "protocol/DtuBasicPara.hpp"

namespace quillon::test {

struct LiteralDtuFrame {
    std::uint32_t id;
    std::uint8_t dataLen;
    std::array<std::uint8_t, 8> data;
};

template <std::size_t N>
void PutText(std::array<std::uint8_t, N>& field, std::string_view text) {
    std::copy(text.begin(), text.end(), field.begin());
}

inline protocol::DtuBasicPara LiteralBasic() {
    protocol::DtuBasicPara b;
    PutText(b.serverAddr, "srv.example");
    b.serverAddrLen = 11;
    b.serverPort = 0x1F90;
    b.connectMode = 0x02;
    b.protocol = 0x01;
    b.heartbeatSec = 0x44332211;
    PutText(b.heartbeat, "HB");
    b.heartbeatLen = 2;
    b.regLen = 0;
    b.downlinkTimeoutSec = 0x88776655;
    b.smsOutput = 0x01;
    b.smsCoding = 0x02;
    b.smsAlert = 0x03;
    b.uartBaud = 9600;
    b.uartParity = 0x02;
    b.uartDataBits = 0x01;
    b.uartStopBits = 0x04;
    return b;
}

inline protocol::DtuAdvPara LiteralAdvanced() {
    protocol::DtuAdvPara a;
    PutText(a.backupAddr, "bk");
    a.backupAddrLen = 2;
    a.backupPort = 0x2382;
    a.rtcAutoCal = 0x01;
    a.netProtocol = 0x02;
    PutText(a.apn, "CMNET");
    a.apnLen = 5;
    PutText(a.smsPhones[0].digits, "13800138000");
    a.smsPhones[0].length = 11;
    PutText(a.smsPhones[5].digits, "7");
    a.smsPhones[5].length = 1;
    PutText(a.wakePhone.digits, "123456789012345");
    a.wakePhone.length = 15;
    a.noSignalRebootMin = 0x0506;
    a.timedStartMin = 0x05A0;
    return a;
}

// Bytes no field fills are zero: the build starts every frame from zero.
inline const std::vector<LiteralDtuFrame>& LiteralDtuSequence() {
    static const std::vector<LiteralDtuFrame> frames = {
        {0x10, 8, {0x0B, 's', 'r', 'v', '.', 'e', 'x', 'a'}},
        {0x11, 8, {0x02, 'm', 'p', 'l', 'e', 0, 0, 0}},
        {0x12, 8, {0x90, 0x1F, 0x02, 0x01, 0x11, 0x22, 0x33, 0x44}},
        {0x13, 8, {0x02, 'H', 'B', 0, 0, 0, 0, 0}},
        {0x15, 8, {0x00, 0, 0, 0, 0, 0, 0, 0}},
        {0x17, 8, {0x55, 0x66, 0x77, 0x88, 0x01, 0x02, 0x03, 0xFF}},
        {0x18, 8, {0x80, 0x25, 0x00, 0x00, 0x02, 0x01, 0x04, 0xFF}},
        {0x19, 8, {0x02, 'b', 'k', 0, 0, 0, 0, 0}},
        {0x1B, 8, {0x82, 0x23, 0x01, 0x02, 0x06, 0x05, 0xA0, 0x05}},
        {0x1C, 8, {0x05, 'C', 'M', 'N', 'E', 'T', 0, 0}},
        {0x1E, 8, {0x0B, '1', '3', '8', '0', '0', '1', '3'}},
        {0x1F, 8, {'8', '0', '0', '0', 0, 0, 0, 0}},
        {0x20, 8, {0x00, 0, 0, 0, 0, 0, 0, 0}},
        {0x21, 8, {0, 0, 0, 0, 0, 0, 0, 0}},
        {0x22, 8, {0x00, 0, 0, 0, 0, 0, 0, 0}},
        {0x23, 8, {0, 0, 0, 0, 0, 0, 0, 0}},
        {0x24, 8, {0x00, 0, 0, 0, 0, 0, 0, 0}},
        {0x25, 8, {0, 0, 0, 0, 0, 0, 0, 0}},
        {0x26, 8, {0x00, 0, 0, 0, 0, 0, 0, 0}},
        {0x27, 8, {0, 0, 0, 0, 0, 0, 0, 0}},
        {0x28, 8, {0x01, '7', 0, 0, 0, 0, 0, 0}},
        {0x29, 8, {0, 0, 0, 0, 0, 0, 0, 0}},
        {0x2C, 8, {0x0F, '1', '2', '3', '4', '5', '6', '7'}},
        {0x2D, 8, {'8', '9', '0', '1', '2', '3', '4', '5'}},
        {0x3F, 1, {0xFF, 0, 0, 0, 0, 0, 0, 0}},
    };
    return frames;
}

inline std::vector<CanFrameRecord> LiteralDtuRecords() {
    std::vector<CanFrameRecord> records;
    for (const auto& literal : LiteralDtuSequence()) {
        CanFrameRecord frame{};
        frame.ID = literal.id;
        frame.DataLen = literal.dataLen;
        std::copy(literal.data.begin(), literal.data.end(), frame.Data);
        records.push_back(frame);
    }
    return records;
}

}  // namespace quillon::test
