#include "protocol/ParameterFrames.hpp"

#include <algorithm>
#include <span>

#include "platform/byteorder/ByteOrder.hpp"
#include "protocol/Capacities.hpp"

namespace quillon::protocol {

using byteorder::GetBytes;
using byteorder::GetU16LE;
using byteorder::GetU32LE;
using byteorder::PutU16LE;
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
    frame.Data[0] = 0x01;
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
    frames[0].Data[0] = channel.enable;
    frames[0].Data[1] = channel.baudIndex;
    frames[0].Data[2] = channel.btr0;
    frames[0].Data[3] = channel.btr1;
    frames[0].Data[4] = channel.workMode;
    frames[1] = MakeConfigFrame(ID_CHANNEL + 1, true);
    frames[1].Data[0] = channel.acceptAll;
    frames[1].Data[1] = AnnouncedFilterCount(channel.filterCount, firmwareVersion);
    for (std::size_t k = 0; k < MAX_CAN_FILTERS; ++k) {
        const CanFilter& filter = channel.filters[k];
        auto& head = frames[2 + 2 * k];
        head = MakeConfigFrame(static_cast<std::uint32_t>(ID_CHANNEL_FILTERS + 2 * k), true);
        head.Data[0] = filter.used;
        head.Data[1] = filter.frameType;
        head.Data[2] = filter.frameFormat;
        head.Data[3] = filter.trigger;
        PutU32LE(Data(head), 4, static_cast<std::uint32_t>(filter.interval));
        auto& range = frames[3 + 2 * k];
        range = MakeConfigFrame(static_cast<std::uint32_t>(ID_CHANNEL_FILTERS + 1 + 2 * k), true);
        PutU32LE(Data(range), 0, filter.idStart);
        PutU32LE(Data(range), 4, filter.idEnd);
    }
    return frames;
}

std::vector<CanFrameRecord> BuildHardFilterBlock(const HardFilterPara& filters) {
    std::vector<CanFrameRecord> frames;
    CanFrameRecord header = MakeConfigFrame(ID_HARD_FILTER, true);
    header.Data[0] = filters.enable;
    header.Data[1] = filters.filterCount;
    frames.push_back(header);
    const std::size_t count = std::min<std::size_t>(filters.filterCount, MAX_HARD_FILTERS);
    for (std::size_t k = 0; k < count; ++k) {
        const auto id = static_cast<std::uint32_t>(ID_HARD_FILTERS + 2 * k);
        CanFrameRecord format = MakeConfigFrame(id, true);
        format.Data[0] = 0x01;
        format.Data[1] = 0x00;
        format.Data[2] = filters.frameFormat[k];
        CanFrameRecord match = MakeConfigFrame(id + 1, true);
        PutU32LE(Data(match), 0, filters.matchValue[k]);
        PutU32LE(Data(match), 4, filters.matchMask[k]);
        frames.push_back(format);
        frames.push_back(match);
    }
    return frames;
}

CanFrameRecord BuildBridgeHeader(const BridgePara& bridge) {
    CanFrameRecord frame = MakeConfigFrame(ID_BRIDGE, true);
    frame.Data[0] = bridge.ruleCount;
    frame.Data[1] = bridge.bridgeFlags;
    return frame;
}

std::array<CanFrameRecord, BRIDGE_RULE_FRAMES> BuildBridgeRule(const BridgeRule& rule,
                                                               std::size_t k) {
    const auto base = static_cast<std::uint32_t>(ID_BRIDGE_RULES + BRIDGE_RULE_STRIDE * k);
    std::array<CanFrameRecord, BRIDGE_RULE_FRAMES> frames{};
    for (std::uint32_t part = 0; part < BRIDGE_RULE_FRAMES; ++part) {
        frames[part] = MakeConfigFrame(base + part, true);
    }
    auto& d0 = frames[0].Data;
    d0[0] = 0x01;
    d0[1] = rule.direction;
    d0[2] = rule.k;
    d0[3] = rule.m;
    d0[4] = rule.trigger;
    d0[5] = rule.srcFlags;
    d0[6] = rule.srcDataMask;
    d0[7] = rule.srcLength;
    PutU32LE(Data(frames[1]), 0, rule.srcId);
    PutU32LE(Data(frames[1]), 4, rule.dstId);
    auto& d2 = frames[2].Data;
    d2[0] = rule.dstFlags;
    d2[1] = rule.yMax;
    d2[2] = rule.dstDataMask;
    d2[3] = rule.kMask;
    d2[4] = rule.mMask;
    d2[5] = rule.dstLength;
    d2[6] = 0xFF;
    d2[7] = 0xFF;
    PutBytes8(frames[3], rule.srcData);
    PutBytes8(frames[4], rule.dstData);
    return frames;
}

CanFrameRecord BuildReplayHeader(const ReplayPara& replay) {
    CanFrameRecord frame = MakeConfigFrame(ID_REPLAY, true);
    frame.Data[0] = replay.sendMode;
    frame.Data[1] = replay.ruleCount;
    PutU16LE(Data(frame), 2, replay.repeatAll);
    PutU32LE(Data(frame), 4, replay.auxValue);
    return frame;
}

std::array<CanFrameRecord, REPLAY_RULE_FRAMES> BuildReplayRule(const ReplayRule& rule,
                                                               std::size_t k) {
    const auto base = static_cast<std::uint32_t>(ID_REPLAY_RULES + REPLAY_RULE_STRIDE * k);
    std::array<CanFrameRecord, REPLAY_RULE_FRAMES> frames{};
    frames[0] = MakeConfigFrame(base, true);
    PutU16LE(Data(frames[0]), 0, rule.times);
    PutU32LE(Data(frames[0]), 2, rule.intervalSec);
    frames[0].Data[6] = rule.channelMask;
    frames[0].Data[7] = 0xFF;
    frames[1] = MakeConfigFrame(base + 1, true);
    PutBytes8(frames[1], std::span<const std::uint8_t>(rule.fileName).subspan(0, 8));
    frames[2] = MakeConfigFrame(base + 2, true);
    PutBytes8(frames[2], std::span<const std::uint8_t>(rule.fileName).subspan(8, 8));
    return frames;
}

CanFrameRecord BuildSystemFrame(const SysPara& sys) {
    CanFrameRecord frame = MakeConfigFrame(ID_SYSTEM, false);
    PutU16LE(Data(frame), 0, sys.fileSizeMB);
    frame.Data[2] = sys.sysOption;
    frame.Data[3] = sys.cyclicOverwrite;
    frame.Data[4] = sys.firstFrameTimeZero;
    frame.Data[5] = sys.errorProofing;
    frame.Data[6] = static_cast<std::uint8_t>(~sys.errorProofing);
    frame.Data[7] = 0x00;
    return frame;
}

CanFrameRecord BuildTimeFrame(const sys::LocalTime& now) {
    CanFrameRecord frame = MakeConfigFrame(ID_TIME, false);
    frame.Data[0] = 0x00;
    frame.Data[1] = static_cast<std::uint8_t>(now.year - 2000);
    frame.Data[2] = static_cast<std::uint8_t>(now.month);
    frame.Data[3] = static_cast<std::uint8_t>(now.day);
    frame.Data[4] = static_cast<std::uint8_t>(now.hour);
    frame.Data[5] = static_cast<std::uint8_t>(now.minute);
    frame.Data[6] = static_cast<std::uint8_t>(now.second);
    return frame;
}

std::array<CanFrameRecord, 2> BuildClosingCommands() {
    std::array<CanFrameRecord, 2> frames{MakeConfigFrame(ID_OPEN_CLOSE, false, 1),
                                         MakeConfigFrame(ID_COMPLETION, false, 1)};
    frames[0].Data[0] = 0x01;
    frames[1].Data[0] = 0x01;
    return frames;
}

bool IsOpeningFrame(const CanFrameRecord& frame) {
    return frame.ExternFlag == 0 && frame.ID == ID_OPEN_CLOSE && frame.DataLen == 8 &&
           frame.Data[0] == 0x01;
}

bool IsApplyCommand(const CanFrameRecord& frame) {
    return frame.ExternFlag == 0 && frame.ID == ID_COMPLETION && frame.DataLen == 1 &&
           frame.Data[0] == 0x01;
}

void DecodeSystemFrame(const CanFrameRecord& frame, SysPara& sys) {
    sys.fileSizeMB = GetU16LE(Data(frame), 0);
    sys.sysOption = frame.Data[2];
    sys.cyclicOverwrite = frame.Data[3];
    sys.firstFrameTimeZero = frame.Data[4];
    sys.errorProofing = frame.Data[5];
}

std::array<std::uint8_t, 6> DecodeTimeFrame(const CanFrameRecord& frame) {
    return GetBytes<6>(Data(frame), 1);
}

namespace {

bool DecodeChannelFrame(const CanFrameRecord& frame, CanPara& channel) {
    const auto data = Data(frame);
    if (frame.ID == ID_CHANNEL) {
        channel.enable = data[0];
        channel.baudIndex = data[1];
        channel.btr0 = data[2];
        channel.btr1 = data[3];
        channel.workMode = data[4];
    } else if (frame.ID == ID_CHANNEL + 1) {
        channel.acceptAll = data[0];
        channel.filterCount = data[1];
    } else if (frame.ID % 2 == 1) {
        CanFilter& filter = channel.filters[(frame.ID - ID_CHANNEL_FILTERS) / 2];
        filter.used = data[0];
        filter.frameType = data[1];
        filter.frameFormat = data[2];
        filter.trigger = data[3];
        filter.interval = static_cast<std::int32_t>(GetU32LE(data, 4));
    } else {
        CanFilter& filter = channel.filters[(frame.ID - ID_CHANNEL_FILTERS - 1) / 2];
        filter.idStart = GetU32LE(data, 0);
        filter.idEnd = GetU32LE(data, 4);
    }
    return true;
}

bool DecodeHardFilterFrame(const CanFrameRecord& frame, HardFilterPara& filters) {
    const auto data = Data(frame);
    if (frame.ID == ID_HARD_FILTER) {
        filters.enable = data[0];
        filters.filterCount = data[1];
        return true;
    }
    const std::size_t k = (frame.ID - ID_HARD_FILTERS) / 2;
    if (frame.ID % 2 == 1) {
        filters.frameFormat[k] = data[2];
    } else {
        filters.matchValue[k] = GetU32LE(data, 0);
        filters.matchMask[k] = GetU32LE(data, 4);
    }
    return true;
}

bool DecodeBridgeFrame(const CanFrameRecord& frame, BridgePara& bridge) {
    const auto data = Data(frame);
    if (frame.ID == ID_BRIDGE) {
        bridge.ruleCount = data[0];
        bridge.bridgeFlags = data[1];
        return true;
    }
    BridgeRule& rule = bridge.rules[(frame.ID - ID_BRIDGE_RULES) / BRIDGE_RULE_STRIDE];
    switch ((frame.ID - ID_BRIDGE_RULES) % BRIDGE_RULE_STRIDE) {
        case 0:
            rule.leadByte = data[0];
            rule.direction = data[1];
            rule.k = data[2];
            rule.m = data[3];
            rule.trigger = data[4];
            rule.srcFlags = data[5];
            rule.srcDataMask = data[6];
            rule.srcLength = data[7];
            return true;
        case 1:
            rule.srcId = GetU32LE(data, 0);
            rule.dstId = GetU32LE(data, 4);
            return true;
        case 2:
            rule.dstFlags = data[0];
            rule.yMax = data[1];
            rule.dstDataMask = data[2];
            rule.kMask = data[3];
            rule.mMask = data[4];
            rule.dstLength = data[5];
            return true;
        case 3:
            std::copy_n(frame.Data, 8, rule.srcData.begin());
            return true;
        case 4:
            std::copy_n(frame.Data, 8, rule.dstData.begin());
            return true;
        default:
            return false;
    }
}

bool DecodeReplayFrame(const CanFrameRecord& frame, ReplayPara& replay) {
    const auto data = Data(frame);
    if (frame.ID == ID_REPLAY) {
        replay.sendMode = data[0];
        replay.ruleCount = data[1];
        replay.repeatAll = GetU16LE(data, 2);
        replay.auxValue = GetU32LE(data, 4);
        return true;
    }
    ReplayRule& rule = replay.rules[(frame.ID - ID_REPLAY_RULES) / REPLAY_RULE_STRIDE];
    switch (frame.ID % REPLAY_RULE_STRIDE) {
        case 0:
            rule.times = GetU16LE(data, 0);
            rule.intervalSec = GetU32LE(data, 2);
            rule.channelMask = data[6];
            return true;
        case 1:
            std::copy_n(frame.Data, 8, rule.fileName.begin());
            rule.fileName[16] = 0;
            return true;
        case 2:
            std::copy_n(frame.Data, 8, rule.fileName.begin() + 8);
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
        case ID_HARD_FILTER:
        case ID_REPLAY:
            return frame.Data[1];
        case ID_BRIDGE:
            return frame.Data[0];
        default:
            return std::nullopt;
    }
}

}  // namespace quillon::protocol
