#include "protocol/FrameCatalogue.hpp"

#include "protocol/Capacities.hpp"
#include "protocol/ParameterFrames.hpp"

namespace quillon::protocol {
namespace {

constexpr std::uint32_t FIRST_FILTER_ID = ID_CHANNEL + 2;
constexpr std::uint32_t LAST_FILTER_ID = CHANNEL_BLOCK_FRAMES;
constexpr std::uint32_t LAST_HARD_FILTER_ID = ID_HARD_FILTER + 2 * MAX_HARD_FILTERS;
constexpr std::uint32_t LAST_BRIDGE_ID =
    ID_BRIDGE_RULES + BRIDGE_RULE_STRIDE * MAX_BRIDGE_RULES - 1;
constexpr std::uint32_t LAST_REPLAY_ID =
    ID_REPLAY_RULES + REPLAY_RULE_STRIDE * MAX_REPLAY_RULES - 1;

std::string Rule(const char* what, std::uint32_t k, std::uint32_t part) {
    return std::string(what) + " " + std::to_string(k) + " part " + std::to_string(part);
}

std::string DescribeRemote(std::uint32_t id) {
    return id == ID_ERASE_COMMAND     ? "erase command"
           : id == ID_PROGRAM_COMMAND ? "program command"
                                      : "unknown remote frame";
}

std::string DescribeExtended(std::uint32_t id) {
    if (id == ID_CHANNEL)
        return "channel settings";
    if (id == ID_CHANNEL + 1)
        return "channel accept-all and filter count";
    if (id >= FIRST_FILTER_ID && id <= LAST_FILTER_ID) {
        return "recording filter " + std::to_string((id - FIRST_FILTER_ID) / 2) +
               (id % 2 == 1 ? " kind and interval" : " identifier range");
    }
    if (id == ID_HARD_FILTER)
        return "acceptance filter header";
    if (id > ID_HARD_FILTER && id <= LAST_HARD_FILTER_ID) {
        return "acceptance filter " + std::to_string((id - ID_HARD_FILTER - 1) / 2) +
               (id % 2 == 1 ? " format" : " value and mask");
    }
    if (id == ID_BRIDGE)
        return "bridge header";
    if (id >= ID_BRIDGE_RULES && id <= LAST_BRIDGE_ID) {
        return Rule("bridge rule", (id - ID_BRIDGE_RULES) / BRIDGE_RULE_STRIDE,
                    (id - ID_BRIDGE_RULES) % BRIDGE_RULE_STRIDE);
    }
    if (id == ID_REPLAY)
        return "replay header";
    if (id >= ID_REPLAY_RULES && id <= LAST_REPLAY_ID) {
        return Rule("replay rule", (id - ID_REPLAY_RULES) / REPLAY_RULE_STRIDE,
                    id % REPLAY_RULE_STRIDE);
    }
    return "unknown extended frame";
}

std::string DescribeStandard(std::uint32_t id, bool fromPc) {
    if (id >= ID_DTU_FIRST && id <= ID_DTU_LAST)
        return id == ID_DTU_LAST ? "DTU parameters end" : "DTU parameter";
    if (id >= ID_DEBUG_FIRST && id <= ID_DEBUG_LAST) {
        return fromPc ? "debug text to device"
                      : "debug message level " + std::to_string(id - ID_DEBUG_FIRST);
    }
    switch (id) {
        case ID_COMPLETION:
            return fromPc ? "closing command (apply)" : "read completion";
        case ID_SERIAL_LOW:
            return fromPc ? "firmware image data" : "identity: serial bytes 0-7";
        case ID_SERIAL_HIGH:
            return "identity: serial bytes 8-11 and device type";
        case ID_VERSIONS:
            return "identity: hardware and firmware versions";
        case ID_SYSTEM:
            return fromPc ? "system settings" : "device system settings";
        case ID_TIME:
            return "local time";
        case ID_READ_REQUEST:
            return "read request";
        case ID_STORAGE_INIT:
            return fromPc ? "storage initialisation" : "storage initialisation result";
        case ID_OPEN_CLOSE:
            return "opening / closing command";
        default:
            return "unknown standard frame";
    }
}

}  // namespace

bool SentPlain(const CanFrameRecord& frame) {
    if (frame.RemoteFlag != 0) {
        return true;
    }
    return frame.ExternFlag == 0 && (frame.ID == ID_READ_REQUEST || frame.ID == ID_IMAGE_DATA);
}

std::string Describe(const CanFrameRecord& frame, bool fromPc) {
    if (frame.ExternFlag == 0) {
        return DescribeStandard(frame.ID, fromPc);
    }
    return frame.RemoteFlag != 0 ? DescribeRemote(frame.ID) : DescribeExtended(frame.ID);
}

}  // namespace quillon::protocol
