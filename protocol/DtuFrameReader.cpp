#include "protocol/DtuFrameReader.hpp"

#include <algorithm>
#include <cstdio>

#include "protocol/DtuFramePositions.hpp"
#include "protocol/DtuFrames.hpp"

namespace quillon::protocol {
namespace {

constexpr std::size_t FIXED_FRAME_BYTES = FRAME_DATA_BYTES;
constexpr std::uint32_t PHONE_FIRST_ID = ID_DTU_SMS_PHONES;
constexpr std::uint32_t WAKE_PHONE_ID = ID_DTU_WAKE_PHONE;
constexpr std::size_t WAKE_PHONE_INDEX = DtuAdvPara::SMS_PHONE_COUNT;

struct RunLayout {
    std::uint32_t firstId;
    std::uint32_t nextId;
    const char* name;
};

// The variable-length fields in sending order.
constexpr std::array<RunLayout, 5> RUNS{
    {{ID_DTU_SERVER_ADDR, ID_DTU_SERVER_ADDR_NEXT, "serverAddr"},
     {ID_DTU_HEARTBEAT, ID_DTU_HEARTBEAT_NEXT, "heartbeat"},
     {ID_DTU_REG_PACKET, ID_DTU_REG_PACKET_NEXT, "regPacket"},
     {ID_DTU_BACKUP_ADDR, ID_DTU_BACKUP_ADDR_NEXT, "backupAddr"},
     {ID_DTU_APN, ID_DTU_APN_NEXT, "apn"}}};
constexpr std::array<std::uint32_t, 4> FIXED_IDS{ID_DTU_SERVER, ID_DTU_DOWNLINK_SMS, ID_DTU_UART,
                                                 ID_DTU_BACKUP};
constexpr std::uint32_t ALL_FIXED = (1u << FIXED_IDS.size()) - 1;

struct FieldRef {
    std::span<std::uint8_t> bytes;
    std::uint8_t& length;
    bool zeroAfter;
};

FieldRef RunField(DtuBasicPara& b, DtuAdvPara& a, std::size_t field) {
    switch (field) {
        case 0:
            return {b.serverAddr, b.serverAddrLen, true};
        case 1:
            return {b.heartbeat, b.heartbeatLen, false};
        case 2:
            return {b.regPacket, b.regLen, false};
        case 3:
            return {a.backupAddr, a.backupAddrLen, true};
        default:
            return {a.apn, a.apnLen, false};
    }
}

std::size_t RunFrames(std::size_t length) {
    return length / DTU_RUN_BYTES_PER_FRAME + 1;
}

std::string Hex(std::uint32_t id) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%02X", static_cast<unsigned>(id));
    return text;
}

std::string Needs(std::size_t dataLen, std::size_t needed) {
    return "DataLen " + std::to_string(dataLen) + ", needs " + std::to_string(needed);
}

}  // namespace

DtuFrameReader::DtuFrameReader(const DtuBasicPara& basic, const DtuAdvPara& advanced)
    : basic_(basic), advanced_(advanced) {}

DtuFrameReader DtuFrameReader::Read(std::span<const CanFrameRecord> frames,
                                    const DtuBasicPara& basic, const DtuAdvPara& advanced) {
    DtuFrameReader reader(basic, advanced);
    for (const auto& frame : frames) {
        reader.Add(frame);
    }
    return reader;
}

void DtuFrameReader::Add(const CanFrameRecord& frame) {
    ++framesAdded_;
    currentId_ = frame.ID;
    if (ended_) {
        Problem("after the closing frame");
    } else if (frame.RemoteFlag != 0 || frame.ExternFlag != 0) {
        Problem("not a data frame with a standard identifier");
    } else if (frame.DataLen > FIXED_FRAME_BYTES) {
        Problem("DataLen " + std::to_string(frame.DataLen) + " above 8");
    } else {
        Dispatch(frame.ID, std::span<const std::uint8_t>(frame.Data, frame.DataLen));
    }
}

void DtuFrameReader::Dispatch(std::uint32_t id, std::span<const std::uint8_t> data) {
    for (std::size_t field = 0; field < RUNS.size(); ++field) {
        if (id == RUNS[field].firstId) {
            return RunFirst(field, data);
        }
        if (id == RUNS[field].nextId) {
            return RunNext(field, data);
        }
    }
    if (Fixed(id, data)) {
        return;
    }
    if (id >= PHONE_FIRST_ID && id < PHONE_FIRST_ID + 2 * DtuAdvPara::SMS_PHONE_COUNT) {
        const std::size_t index = (id - PHONE_FIRST_ID) / 2;
        return (id - PHONE_FIRST_ID) % 2 == 0 ? PhoneFirst(index, data) : PhoneSecond(index, data);
    }
    if (id == WAKE_PHONE_ID || id == WAKE_PHONE_ID + 1) {
        return id == WAKE_PHONE_ID ? PhoneFirst(WAKE_PHONE_INDEX, data)
                                   : PhoneSecond(WAKE_PHONE_INDEX, data);
    }
    if (id == DTU_END_FRAME_ID) {
        return End(data);
    }
    Problem("not a frame of the DTU parameters");
}

// A first frame starts the field afresh, whatever arrived of it before.
void DtuFrameReader::RunFirst(std::size_t field, std::span<const std::uint8_t> data) {
    Run& run = runs_[field];
    run = Run{};
    if (data.size() <= DTU_RUN_COUNT_AT) {
        return Problem("no length byte");
    }
    const std::size_t length = data[DTU_RUN_COUNT_AT];
    const std::size_t capacity = RunField(basic_, advanced_, field).bytes.size();
    if (length > capacity) {
        return Problem(std::string(RUNS[field].name) + " length " + std::to_string(length) +
                       " above " + std::to_string(capacity));
    }
    run.started = true;
    run.expected = length;
    RunChunk(field, 0, data);
}

void DtuFrameReader::RunNext(std::size_t field, std::span<const std::uint8_t> data) {
    Run& run = runs_[field];
    if (!run.started) {
        return Problem("run frame without the first frame of " + std::string(RUNS[field].name));
    }
    if (data.size() <= DTU_RUN_COUNT_AT) {
        return Problem("no frame number");
    }
    const std::size_t number = data[DTU_RUN_COUNT_AT];
    const std::size_t frames = RunFrames(run.expected);
    if (number < 2 || number > frames) {
        return Problem("run frame " + std::to_string(number) + " outside a run of " +
                       std::to_string(frames) + " frames");
    }
    RunChunk(field, number - 1, data);
}

// Frame k carries field bytes 7k.. from DTU_RUN_BYTES_AT on.
void DtuFrameReader::RunChunk(std::size_t field, std::size_t k,
                              std::span<const std::uint8_t> data) {
    Run& run = runs_[field];
    const std::size_t from = k * DTU_RUN_BYTES_PER_FRAME;
    const std::size_t count = std::min(DTU_RUN_BYTES_PER_FRAME, run.expected - from);
    if (data.size() < DTU_RUN_BYTES_AT + count) {
        return Problem(Needs(data.size(), DTU_RUN_BYTES_AT + count));
    }
    std::copy_n(data.begin() + DTU_RUN_BYTES_AT, count,
                run.bytes.begin() + static_cast<std::ptrdiff_t>(from));
    run.framesSeen |= 1u << k;
    if (run.framesSeen == (1u << RunFrames(run.expected)) - 1) {
        StoreRun(field);
    }
}

void DtuFrameReader::StoreRun(std::size_t field) {
    Run& run = runs_[field];
    const FieldRef target = RunField(basic_, advanced_, field);
    std::copy_n(run.bytes.begin(), run.expected, target.bytes.begin());
    target.length = static_cast<std::uint8_t>(run.expected);
    if (target.zeroAfter && run.expected < target.bytes.size()) {
        target.bytes[run.expected] = 0;
    }
    run.started = false;
    run.stored = true;
}

void DtuFrameReader::PhoneFirst(std::size_t index, std::span<const std::uint8_t> data) {
    Phone& phone = phones_[index];
    phone = Phone{};
    if (data.size() <= DTU_PHONE_LENGTH_AT) {
        return Problem("no length byte");
    }
    const std::uint8_t length = data[DTU_PHONE_LENGTH_AT];
    if (length > PhoneSlot::MAX_DIGITS) {
        return Problem("phone number length " + std::to_string(length) + " above 15");
    }
    const std::size_t count = std::min<std::size_t>(length, DTU_PHONE_HEAD_DIGITS);
    if (data.size() < DTU_PHONE_HEAD_AT + count) {
        return Problem(Needs(data.size(), DTU_PHONE_HEAD_AT + count));
    }
    phone.received.length = length;
    std::copy_n(data.begin() + DTU_PHONE_HEAD_AT, count, phone.received.digits.begin());
    phone.firstSeen = true;
}

// The second frame carries the digits the first had no room for.
void DtuFrameReader::PhoneSecond(std::size_t index, std::span<const std::uint8_t> data) {
    Phone& phone = phones_[index];
    if (!phone.firstSeen) {
        return Problem("second frame of a phone number without its first");
    }
    const std::size_t length = phone.received.length;
    const std::size_t count = length > DTU_PHONE_HEAD_DIGITS ? length - DTU_PHONE_HEAD_DIGITS : 0;
    if (data.size() < DTU_PHONE_TAIL_AT + count) {
        return Problem(Needs(data.size(), DTU_PHONE_TAIL_AT + count));
    }
    std::copy_n(data.begin() + DTU_PHONE_TAIL_AT, count,
                phone.received.digits.begin() + DTU_PHONE_HEAD_DIGITS);
    StorePhone(index);
}

void DtuFrameReader::StorePhone(std::size_t index) {
    Phone& phone = phones_[index];
    PhoneSlot& slot = index == WAKE_PHONE_INDEX ? advanced_.wakePhone : advanced_.smsPhones[index];
    std::copy_n(phone.received.digits.begin(), phone.received.length, slot.digits.begin());
    slot.length = phone.received.length;
    phone.firstSeen = false;
    phone.stored = true;
}

// The four frames of fixed layout; false when `id` is none of them.
bool DtuFrameReader::Fixed(std::uint32_t id, std::span<const std::uint8_t> data) {
    const auto at = std::find(FIXED_IDS.begin(), FIXED_IDS.end(), id);
    if (at == FIXED_IDS.end()) {
        return false;
    }
    if (data.size() < FIXED_FRAME_BYTES) {
        Problem(Needs(data.size(), FIXED_FRAME_BYTES));
        return true;
    }
    if (id == ID_DTU_SERVER) {
        GetFields(data, basic_, DTU_SERVER_FIELDS);
    } else if (id == ID_DTU_DOWNLINK_SMS) {
        GetFields(data, basic_, DTU_DOWNLINK_SMS_FIELDS);
    } else if (id == ID_DTU_UART) {
        GetFields(data, basic_, DTU_UART_FIELDS);
    } else {
        GetFields(data, advanced_, DTU_BACKUP_FIELDS);
    }
    fixedSeen_ |= 1u << (at - FIXED_IDS.begin());
    return true;
}

void DtuFrameReader::End(std::span<const std::uint8_t> data) {
    ended_ = true;
    if (data.size() <= DTU_END_MARK_AT || data[DTU_END_MARK_AT] != DTU_END_MARK) {
        Problem("closing frame without 0xFF");
    }
}

bool DtuFrameReader::Complete() const {
    const bool runsStored =
        std::all_of(runs_.begin(), runs_.end(), [](const Run& run) { return run.stored; });
    const bool phonesStored = std::all_of(phones_.begin(), phones_.end(),
                                          [](const Phone& phone) { return phone.stored; });
    return ended_ && problemCount_ == 0 && runsStored && phonesStored && fixedSeen_ == ALL_FIXED;
}

void DtuFrameReader::Problem(const std::string& what) {
    if (problemCount_++ == 0) {
        firstProblem_ =
            "DTU frame " + std::to_string(framesAdded_) + " (" + Hex(currentId_) + "): " + what;
    }
}

}  // namespace quillon::protocol
