#include "protocol/ParameterFrames.hpp"

#include <algorithm>
#include <span>

#include "platform/byteorder/ByteOrder.hpp"
#include "protocol/Capacities.hpp"
#include "protocol/ParameterFramePositions.hpp"

namespace quillon::protocol {

using byteorder::GetBytes;
using byteorder::GetU32LE;
using byteorder::PutU32LE;
namespace {

std::span<std::uint8_t> Data(CanFrameRecord& frame) {
    return {frame.Data, 8};
}
std::span<const std::uint8_t> Data(const CanFrameRecord& frame) {
    return {frame.Data, 8};
}

void PutBytes8(CanFrameRecord& frame, std::span<const std::uint8_t> bytes) {
    std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), 8), frame.Data);
}

}  // namespace

CanFrameRecord MakeConfigFrame(std::uint32_t id, bool extended, std::uint8_t dataLen) {
    CanFrameRecord frame{};
    frame.ID = id;
    frame.ExternFlag = extended ? 1 : 0;
    frame.DataLen = dataLen;
    return frame;
}

CanFrameRecord BuildOpeningFrame() {
    CanFrameRecord frame = MakeConfigFrame(ID_OPEN_CLOSE, false);
    std::fill(std::begin(frame.Data), std::end(frame.Data), 0xFF);
    frame.Data[COMMAND_AT] = COMMAND_MARK;
    return frame;
}

std::uint8_t AnnouncedFilterCount(std::uint8_t filterCount, std::uint32_t firmwareVersion) {
    const bool oldFirmware = firmwareVersion <= OLD_FIRMWARE_VERSION;
    return oldFirmware && filterCount > OLD_FIRMWARE_FILTER_LIMIT ? OLD_FIRMWARE_FILTER_LIMIT
                                                                  : filterCount;
}

std::array<CanFrameRecord, CHANNEL_BLOCK_FRAMES> BuildChannelBlock(const CanPara& channel,
                                                                   std::uint32_t firmwareVersion) {
    std::array<CanFrameRecord, CHANNEL_BLOCK_FRAMES> frames{};
    frames[0] = MakeConfigFrame(ID_CHANNEL, true);
    PutFields(Data(frames[0]), channel, CHANNEL_FIELDS);
    frames[1] = MakeConfigFrame(ID_CHANNEL + 1, true);
    PutFields(Data(frames[1]), channel, CHANNEL_FILTERS_FIELDS);
    frames[1].Data[CHANNEL_FILTER_COUNT_AT] =
        AnnouncedFilterCount(channel.filterCount, firmwareVersion);
    for (std::size_t k = 0; k < MAX_CAN_FILTERS; ++k) {
        const CanFilter& filter = channel.filters[k];
        auto& head = frames[2 + 2 * k];
        head = MakeConfigFrame(static_cast<std::uint32_t>(ID_CHANNEL_FILTERS + 2 * k), true);
        PutFields(Data(head), filter, RECORDING_FILTER_HEAD_FIELDS);
        auto& range = frames[3 + 2 * k];
        range = MakeConfigFrame(static_cast<std::uint32_t>(ID_CHANNEL_FILTERS + 1 + 2 * k), true);
        PutFields(Data(range), filter, RECORDING_FILTER_RANGE_FIELDS);
    }
    return frames;
}

std::vector<CanFrameRecord> BuildHardFilterBlock(const HardFilterPara& filters) {
    std::vector<CanFrameRecord> frames;
    CanFrameRecord header = MakeConfigFrame(ID_HARD_FILTER, true);
    PutFields(Data(header), filters, HARD_FILTER_FIELDS);
    header.Data[HARD_FILTER_COUNT_AT] = filters.filterCount;
    frames.push_back(header);
    const std::size_t count = std::min<std::size_t>(filters.filterCount, MAX_HARD_FILTERS);
    for (std::size_t k = 0; k < count; ++k) {
        const auto id = static_cast<std::uint32_t>(ID_HARD_FILTERS + 2 * k);
        CanFrameRecord format = MakeConfigFrame(id, true);
        PutMarks(Data(format), HARD_FILTER_FORMAT_MARKS);
        format.Data[HARD_FILTER_FORMAT_AT] = filters.frameFormat[k];
        CanFrameRecord match = MakeConfigFrame(id + 1, true);
        PutU32LE(Data(match), HARD_FILTER_VALUE_AT, filters.matchValue[k]);
        PutU32LE(Data(match), HARD_FILTER_MASK_AT, filters.matchMask[k]);
        frames.push_back(format);
        frames.push_back(match);
    }
    return frames;
}

CanFrameRecord BuildBridgeHeader(const BridgePara& bridge) {
    CanFrameRecord frame = MakeConfigFrame(ID_BRIDGE, true);
    frame.Data[BRIDGE_COUNT_AT] = bridge.ruleCount;
    PutFields(Data(frame), bridge, BRIDGE_FIELDS);
    return frame;
}

std::array<CanFrameRecord, BRIDGE_RULE_FRAMES> BuildBridgeRule(const BridgeRule& rule,
                                                               std::size_t k) {
    const auto base = static_cast<std::uint32_t>(ID_BRIDGE_RULES + BRIDGE_RULE_STRIDE * k);
    std::array<CanFrameRecord, BRIDGE_RULE_FRAMES> frames{};
    for (std::uint32_t part = 0; part < BRIDGE_RULE_FRAMES; ++part) {
        frames[part] = MakeConfigFrame(base + part, true);
    }
    auto& match = frames[BRIDGE_PART_MATCH];
    match.Data[BRIDGE_RULE_LEAD_AT] = BRIDGE_RULE_LEAD;
    PutFields(Data(match), rule, BRIDGE_MATCH_FIELDS);
    PutFields(Data(frames[BRIDGE_PART_IDS]), rule, BRIDGE_IDS_FIELDS);
    PutFields(Data(frames[BRIDGE_PART_FORWARD]), rule, BRIDGE_FORWARD_FIELDS);
    PutMarks(Data(frames[BRIDGE_PART_FORWARD]), BRIDGE_FORWARD_MARKS);
    PutBytes8(frames[BRIDGE_PART_SRC_DATA], rule.srcData);
    PutBytes8(frames[BRIDGE_PART_DST_DATA], rule.dstData);
    return frames;
}

CanFrameRecord BuildReplayHeader(const ReplayPara& replay) {
    CanFrameRecord frame = MakeConfigFrame(ID_REPLAY, true);
    PutFields(Data(frame), replay, REPLAY_FIELDS);
    frame.Data[REPLAY_COUNT_AT] = replay.ruleCount;
    return frame;
}

std::array<CanFrameRecord, REPLAY_RULE_FRAMES> BuildReplayRule(const ReplayRule& rule,
                                                               std::size_t k) {
    const auto base = static_cast<std::uint32_t>(ID_REPLAY_RULES + REPLAY_RULE_STRIDE * k);
    std::array<CanFrameRecord, REPLAY_RULE_FRAMES> frames{};
    for (std::uint32_t part = 0; part < REPLAY_RULE_FRAMES; ++part) {
        frames[part] = MakeConfigFrame(base + part, true);
    }
    PutFields(Data(frames[REPLAY_PART_PLAY]), rule, REPLAY_PLAY_FIELDS);
    PutMarks(Data(frames[REPLAY_PART_PLAY]), REPLAY_PLAY_MARKS);
    const std::span<const std::uint8_t> name(rule.fileName);
    PutBytes8(frames[REPLAY_PART_NAME_START], name.first(REPLAY_NAME_BYTES_PER_FRAME));
    PutBytes8(frames[REPLAY_PART_NAME_END],
              name.subspan(REPLAY_NAME_BYTES_PER_FRAME, REPLAY_NAME_BYTES_PER_FRAME));
    return frames;
}

CanFrameRecord BuildSystemFrame(const SysPara& sys) {
    CanFrameRecord frame = MakeConfigFrame(ID_SYSTEM, false);
    PutFields(Data(frame), sys, SYSTEM_FIELDS);
    frame.Data[SYSTEM_ERROR_PROOFING_INVERSE_AT] = static_cast<std::uint8_t>(~sys.errorProofing);
    PutMarks(Data(frame), SYSTEM_MARKS);
    return frame;
}

CanFrameRecord BuildTimeFrame(const sys::LocalTime& now) {
    CanFrameRecord frame = MakeConfigFrame(ID_TIME, false);
    PutMarks(Data(frame), TIME_MARKS);
    const std::array<int, TIME_BYTES> fields{now.year - 2000, now.month,  now.day,
                                             now.hour,        now.minute, now.second};
    std::transform(fields.begin(), fields.end(), frame.Data + TIME_AT,
                   [](int value) { return static_cast<std::uint8_t>(value); });
    return frame;
}

std::array<CanFrameRecord, 2> BuildClosingCommands() {
    std::array<CanFrameRecord, 2> frames{MakeConfigFrame(ID_OPEN_CLOSE, false, 1),
                                         MakeConfigFrame(ID_COMPLETION, false, 1)};
    frames[0].Data[COMMAND_AT] = COMMAND_MARK;
    frames[1].Data[COMMAND_AT] = COMMAND_MARK;
    return frames;
}

bool IsOpeningFrame(const CanFrameRecord& frame) {
    return frame.ExternFlag == 0 && frame.ID == ID_OPEN_CLOSE && frame.DataLen == 8 &&
           frame.Data[COMMAND_AT] == COMMAND_MARK;
}

bool IsApplyCommand(const CanFrameRecord& frame) {
    return frame.ExternFlag == 0 && frame.ID == ID_COMPLETION && frame.DataLen == 1 &&
           frame.Data[COMMAND_AT] == COMMAND_MARK;
}

void DecodeSystemFrame(const CanFrameRecord& frame, SysPara& sys) {
    GetFields(Data(frame), sys, SYSTEM_FIELDS);
}

std::array<std::uint8_t, TIME_BYTES> DecodeTimeFrame(const CanFrameRecord& frame) {
    return GetBytes<TIME_BYTES>(Data(frame), TIME_AT);
}

namespace {

bool DecodeChannelFrame(const CanFrameRecord& frame, CanPara& channel) {
    const auto data = Data(frame);
    if (frame.ID == ID_CHANNEL) {
        GetFields(data, channel, CHANNEL_FIELDS);
    } else if (frame.ID == ID_CHANNEL + 1) {
        GetFields(data, channel, CHANNEL_FILTERS_FIELDS);
        channel.filterCount = data[CHANNEL_FILTER_COUNT_AT];
    } else if (frame.ID % 2 == 1) {
        CanFilter& filter = channel.filters[(frame.ID - ID_CHANNEL_FILTERS) / 2];
        GetFields(data, filter, RECORDING_FILTER_HEAD_FIELDS);
    } else {
        CanFilter& filter = channel.filters[(frame.ID - ID_CHANNEL_FILTERS - 1) / 2];
        GetFields(data, filter, RECORDING_FILTER_RANGE_FIELDS);
    }
    return true;
}

bool DecodeHardFilterFrame(const CanFrameRecord& frame, HardFilterPara& filters) {
    const auto data = Data(frame);
    if (frame.ID == ID_HARD_FILTER) {
        GetFields(data, filters, HARD_FILTER_FIELDS);
        filters.filterCount = data[HARD_FILTER_COUNT_AT];
        return true;
    }
    const std::size_t k = (frame.ID - ID_HARD_FILTERS) / 2;
    if (frame.ID % 2 == 1) {
        filters.frameFormat[k] = data[HARD_FILTER_FORMAT_AT];
    } else {
        filters.matchValue[k] = GetU32LE(data, HARD_FILTER_VALUE_AT);
        filters.matchMask[k] = GetU32LE(data, HARD_FILTER_MASK_AT);
    }
    return true;
}

bool DecodeBridgeFrame(const CanFrameRecord& frame, BridgePara& bridge) {
    const auto data = Data(frame);
    if (frame.ID == ID_BRIDGE) {
        bridge.ruleCount = data[BRIDGE_COUNT_AT];
        GetFields(data, bridge, BRIDGE_FIELDS);
        return true;
    }
    BridgeRule& rule = bridge.rules[(frame.ID - ID_BRIDGE_RULES) / BRIDGE_RULE_STRIDE];
    switch ((frame.ID - ID_BRIDGE_RULES) % BRIDGE_RULE_STRIDE) {
        case BRIDGE_PART_MATCH:
            rule.leadByte = data[BRIDGE_RULE_LEAD_AT];
            GetFields(data, rule, BRIDGE_MATCH_FIELDS);
            return true;
        case BRIDGE_PART_IDS:
            GetFields(data, rule, BRIDGE_IDS_FIELDS);
            return true;
        case BRIDGE_PART_FORWARD:
            GetFields(data, rule, BRIDGE_FORWARD_FIELDS);
            return true;
        case BRIDGE_PART_SRC_DATA:
            std::copy_n(frame.Data, 8, rule.srcData.begin());
            return true;
        case BRIDGE_PART_DST_DATA:
            std::copy_n(frame.Data, 8, rule.dstData.begin());
            return true;
        default:
            return false;
    }
}

bool DecodeReplayFrame(const CanFrameRecord& frame, ReplayPara& replay) {
    const auto data = Data(frame);
    if (frame.ID == ID_REPLAY) {
        GetFields(data, replay, REPLAY_FIELDS);
        replay.ruleCount = data[REPLAY_COUNT_AT];
        return true;
    }
    ReplayRule& rule = replay.rules[(frame.ID - ID_REPLAY_RULES) / REPLAY_RULE_STRIDE];
    const auto name = rule.fileName.begin();
    switch (frame.ID % REPLAY_RULE_STRIDE) {
        case REPLAY_PART_PLAY:
            GetFields(data, rule, REPLAY_PLAY_FIELDS);
            return true;
        case REPLAY_PART_NAME_START:
            std::copy_n(frame.Data, REPLAY_NAME_BYTES_PER_FRAME, name);
            rule.fileName[ReplayRule::MAX_FILE_NAME_BYTES] = 0;
            return true;
        case REPLAY_PART_NAME_END:
            std::copy_n(frame.Data, REPLAY_NAME_BYTES_PER_FRAME,
                        name + REPLAY_NAME_BYTES_PER_FRAME);
            return true;
        default:
            return false;
    }
}

}  // namespace

bool DecodeParameterFrame(const CanFrameRecord& frame, ParameterTargets targets) {
    const std::uint32_t id = frame.ID;
    if (id >= ID_CHANNEL && id < ID_CHANNEL_FILTERS + 2 * MAX_CAN_FILTERS) {
        return DecodeChannelFrame(frame, targets.channel);
    }
    if (id >= ID_HARD_FILTER && id <= ID_HARD_FILTER + 2 * MAX_HARD_FILTERS) {
        return DecodeHardFilterFrame(frame, targets.filters);
    }
    if (id >= ID_BRIDGE && id < ID_BRIDGE_RULES + BRIDGE_RULE_STRIDE * MAX_BRIDGE_RULES) {
        return DecodeBridgeFrame(frame, targets.bridge);
    }
    if (id >= ID_REPLAY && id < ID_REPLAY_RULES + REPLAY_RULE_STRIDE * MAX_REPLAY_RULES) {
        return DecodeReplayFrame(frame, targets.replay);
    }
    return false;
}

}  // namespace quillon::protocol

namespace quillon::protocol {

std::optional<std::uint8_t> AnnouncedCount(const CanFrameRecord& frame) {
    if (frame.ExternFlag == 0) {
        return std::nullopt;
    }
    switch (frame.ID) {
        case ID_CHANNEL + 1:
            return frame.Data[CHANNEL_FILTER_COUNT_AT];
        case ID_HARD_FILTER:
            return frame.Data[HARD_FILTER_COUNT_AT];
        case ID_BRIDGE:
            return frame.Data[BRIDGE_COUNT_AT];
        case ID_REPLAY:
            return frame.Data[REPLAY_COUNT_AT];
        default:
            return std::nullopt;
    }
}

}  // namespace quillon::protocol
