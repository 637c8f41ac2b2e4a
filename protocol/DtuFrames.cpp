#include "protocol/DtuFrames.hpp"

#include <algorithm>
#include <span>

#include "protocol/DtuFramePositions.hpp"

namespace quillon::protocol {
namespace {

// Frames in sending order; the first failed check ends the build with its message.
class FrameBuilder {
  public:
    explicit FrameBuilder(DtuFrameBuild& build) : build_(build) {}

    bool Check(bool valid, const char* message) {
        if (!valid) {
            build_.message = message;
        }
        return valid;
    }

    // A run of ⌊L/7⌋ + 1 frames: the first with d0 = L, frame k with d0 = k + 1,
    // each carrying the next up to seven field bytes in d1..d7.
    void Run(std::uint32_t firstId, std::uint32_t nextId, std::span<const std::uint8_t> field) {
        const std::size_t frames = field.size() / DTU_RUN_BYTES_PER_FRAME + 1;
        for (std::size_t k = 0; k < frames; ++k) {
            CanFrameRecord& frame = Add(k == 0 ? firstId : nextId);
            frame.Data[DTU_RUN_COUNT_AT] = static_cast<std::uint8_t>(k == 0 ? field.size() : k + 1);
            const std::size_t from = std::min(field.size(), k * DTU_RUN_BYTES_PER_FRAME);
            const auto part =
                field.subspan(from, std::min(DTU_RUN_BYTES_PER_FRAME, field.size() - from));
            std::copy(part.begin(), part.end(), frame.Data + DTU_RUN_BYTES_AT);
        }
    }

    // Two frames: d0 = length and digits 0..6, then digits 7..14; digits past the length unsent.
    void Phone(std::uint32_t firstId, const PhoneSlot& slot) {
        const auto digits = std::span(slot.digits).first(slot.length);
        CanFrameRecord& first = Add(firstId);
        first.Data[DTU_PHONE_LENGTH_AT] = slot.length;
        const auto head = digits.first(std::min(digits.size(), DTU_PHONE_HEAD_DIGITS));
        std::copy(head.begin(), head.end(), first.Data + DTU_PHONE_HEAD_AT);
        CanFrameRecord& second = Add(firstId + 1);
        const auto tail = digits.subspan(head.size());
        std::copy(tail.begin(), tail.end(), second.Data + DTU_PHONE_TAIL_AT);
    }

    CanFrameRecord& Add(std::uint32_t id, std::uint8_t length = 8) {
        CanFrameRecord frame{};
        frame.ID = id;
        frame.DataLen = length;
        build_.frames.push_back(frame);
        return build_.frames.back();
    }

  private:
    DtuFrameBuild& build_;
};

std::span<const std::uint8_t> Field(std::span<const std::uint8_t> bytes, std::size_t length) {
    return bytes.first(length);
}

bool AddBasic(FrameBuilder& out, const DtuBasicPara& b) {
    if (!out.Check(b.serverAddrLen != 0 && b.serverAddrLen <= DtuBasicPara::MAX_ADDR,
                   FRAME_ADDR_LENGTH)) {
        return false;
    }
    out.Run(ID_DTU_SERVER_ADDR, ID_DTU_SERVER_ADDR_NEXT, Field(b.serverAddr, b.serverAddrLen));
    PutFields(out.Add(ID_DTU_SERVER).Data, b, DTU_SERVER_FIELDS);
    if (!out.Check(b.heartbeatLen <= DtuBasicPara::MAX_PACKET, FRAME_HEARTBEAT_LENGTH)) {
        return false;
    }
    out.Run(ID_DTU_HEARTBEAT, ID_DTU_HEARTBEAT_NEXT, Field(b.heartbeat, b.heartbeatLen));
    if (!out.Check(b.regLen <= DtuBasicPara::MAX_PACKET, FRAME_REG_LENGTH)) {
        return false;
    }
    out.Run(ID_DTU_REG_PACKET, ID_DTU_REG_PACKET_NEXT, Field(b.regPacket, b.regLen));
    CanFrameRecord& downlink = out.Add(ID_DTU_DOWNLINK_SMS);
    PutFields(downlink.Data, b, DTU_DOWNLINK_SMS_FIELDS);
    PutMarks(downlink.Data, DTU_DOWNLINK_SMS_MARKS);
    CanFrameRecord& uart = out.Add(ID_DTU_UART);
    PutFields(uart.Data, b, DTU_UART_FIELDS);
    PutMarks(uart.Data, DTU_UART_MARKS);
    return true;
}

bool AddAdvanced(FrameBuilder& out, const DtuAdvPara& a) {
    if (!out.Check(a.backupAddrLen <= DtuAdvPara::MAX_ADDR, FRAME_BACKUP_LENGTH)) {
        return false;
    }
    out.Run(ID_DTU_BACKUP_ADDR, ID_DTU_BACKUP_ADDR_NEXT, Field(a.backupAddr, a.backupAddrLen));
    PutFields(out.Add(ID_DTU_BACKUP).Data, a, DTU_BACKUP_FIELDS);
    if (!out.Check(a.apnLen <= DtuAdvPara::MAX_APN, FRAME_APN_LENGTH)) {
        return false;
    }
    out.Run(ID_DTU_APN, ID_DTU_APN_NEXT, Field(a.apn, a.apnLen));
    for (std::size_t i = 0; i <= DtuAdvPara::SMS_PHONE_COUNT; ++i) {
        const PhoneSlot& slot = i < DtuAdvPara::SMS_PHONE_COUNT ? a.smsPhones[i] : a.wakePhone;
        if (!out.Check(slot.length <= PhoneSlot::MAX_DIGITS, "")) {
            return false;  // refused without a message
        }
        const auto id = i < DtuAdvPara::SMS_PHONE_COUNT
                            ? static_cast<std::uint32_t>(ID_DTU_SMS_PHONES + 2 * i)
                            : ID_DTU_WAKE_PHONE;
        out.Phone(id, slot);
    }
    return true;
}

}  // namespace

DtuFrameBuild BuildDtuFrames(const DtuBasicPara& basic, const DtuAdvPara& advanced) {
    DtuFrameBuild build;
    FrameBuilder out(build);
    if (!AddBasic(out, basic) || !AddAdvanced(out, advanced)) {
        build.frames.clear();
        return build;
    }
    out.Add(DTU_END_FRAME_ID, 1).Data[DTU_END_MARK_AT] = DTU_END_MARK;
    if (build.frames.size() > DTU_FRAME_CAPACITY) {
        build.frames.clear();
        return build;
    }
    build.ok = true;
    return build;
}

}  // namespace quillon::protocol
