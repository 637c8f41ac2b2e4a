// Where each field of a parameter frame sits in the frame's data bytes: the
// one list that building the write, decoding the read and the simulator's
// opposite direction all use.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "protocol/BridgePara.hpp"
#include "protocol/CanPara.hpp"
#include "protocol/FrameField.hpp"
#include "protocol/HardFilterPara.hpp"
#include "protocol/ReplayPara.hpp"
#include "protocol/SysPara.hpp"

namespace quillon::protocol {

// Commands (opening frame, closing commands, completion notice): d0 = 1.
inline constexpr std::size_t COMMAND_AT = 0;
inline constexpr std::uint8_t COMMAND_MARK = 0x01;

// Channel block: frame 1 the channel settings, frame 2 the recording filter
// switch and count, then two frames per recording filter.
inline constexpr std::array CHANNEL_FIELDS{Field(0, &CanPara::enable),
                                           Field(1, &CanPara::baudIndex), Field(2, &CanPara::btr0),
                                           Field(3, &CanPara::btr1), Field(4, &CanPara::workMode)};
inline constexpr std::array CHANNEL_FILTERS_FIELDS{Field(0, &CanPara::acceptAll)};
inline constexpr std::size_t CHANNEL_FILTER_COUNT_AT = 1;
inline constexpr std::array RECORDING_FILTER_HEAD_FIELDS{
    Field(0, &CanFilter::used), Field(1, &CanFilter::frameType), Field(2, &CanFilter::frameFormat),
    Field(3, &CanFilter::trigger), Field(4, &CanFilter::interval)};
inline constexpr std::array RECORDING_FILTER_RANGE_FIELDS{Field(0, &CanFilter::idStart),
                                                          Field(4, &CanFilter::idEnd)};

// Acceptance filters: frame 0x100, then per filter a format frame and a match frame.
inline constexpr std::array HARD_FILTER_FIELDS{Field(0, &HardFilterPara::enable)};
inline constexpr std::size_t HARD_FILTER_COUNT_AT = 1;
inline constexpr std::array HARD_FILTER_FORMAT_MARKS{FrameMark{0, 0x01}, FrameMark{1, 0x00}};
inline constexpr std::size_t HARD_FILTER_FORMAT_AT = 2;
inline constexpr std::size_t HARD_FILTER_VALUE_AT = 0;
inline constexpr std::size_t HARD_FILTER_MASK_AT = 4;

// Bridge block: frame 0x1FF, then five frames per rule.
inline constexpr std::size_t BRIDGE_COUNT_AT = 0;
inline constexpr std::array BRIDGE_FIELDS{Field(1, &BridgePara::bridgeFlags)};
/// Identifier offset of each frame of a rule from the rule's first identifier.
enum BridgeRulePart : std::uint32_t {
    BRIDGE_PART_MATCH = 0,
    BRIDGE_PART_IDS = 1,
    BRIDGE_PART_FORWARD = 2,
    BRIDGE_PART_SRC_DATA = 3,
    BRIDGE_PART_DST_DATA = 4,
};
/// d0 of a rule's first frame: 1 when sent, stored into the rule's lead byte when read.
inline constexpr std::size_t BRIDGE_RULE_LEAD_AT = 0;
inline constexpr std::uint8_t BRIDGE_RULE_LEAD = 0x01;
inline constexpr std::array BRIDGE_MATCH_FIELDS{
    Field(1, &BridgeRule::direction), Field(2, &BridgeRule::k),
    Field(3, &BridgeRule::m),         Field(4, &BridgeRule::trigger),
    Field(5, &BridgeRule::srcFlags),  Field(6, &BridgeRule::srcDataMask),
    Field(7, &BridgeRule::srcLength)};
inline constexpr std::array BRIDGE_IDS_FIELDS{Field(0, &BridgeRule::srcId),
                                              Field(4, &BridgeRule::dstId)};
inline constexpr std::array BRIDGE_FORWARD_FIELDS{
    Field(0, &BridgeRule::dstFlags),    Field(1, &BridgeRule::yMax),
    Field(2, &BridgeRule::dstDataMask), Field(3, &BridgeRule::kMask),
    Field(4, &BridgeRule::mMask),       Field(5, &BridgeRule::dstLength)};
inline constexpr std::array BRIDGE_FORWARD_MARKS{FrameMark{6, 0xFF}, FrameMark{7, 0xFF}};

// Replay block: frame 0x2FF, then three frames per file.
inline constexpr std::size_t REPLAY_COUNT_AT = 1;
inline constexpr std::array REPLAY_FIELDS{Field(0, &ReplayPara::sendMode),
                                          Field(2, &ReplayPara::repeatAll),
                                          Field(4, &ReplayPara::auxValue)};
enum ReplayRulePart : std::uint32_t {
    REPLAY_PART_PLAY = 0,
    REPLAY_PART_NAME_START = 1,  ///< name bytes 0..7; reading it ends the name at byte 16
    REPLAY_PART_NAME_END = 2,    ///< name bytes 8..15
};
inline constexpr std::array REPLAY_PLAY_FIELDS{Field(0, &ReplayRule::times),
                                               Field(2, &ReplayRule::intervalSec),
                                               Field(6, &ReplayRule::channelMask)};
inline constexpr std::array REPLAY_PLAY_MARKS{FrameMark{7, 0xFF}};
inline constexpr std::size_t REPLAY_NAME_BYTES_PER_FRAME = 8;

// Closing frame 4: the system settings, then the inverse of the error proofing.
inline constexpr std::array SYSTEM_FIELDS{
    Field(0, &SysPara::fileSizeMB), Field(2, &SysPara::sysOption),
    Field(3, &SysPara::cyclicOverwrite), Field(4, &SysPara::firstFrameTimeZero),
    Field(5, &SysPara::errorProofing)};
inline constexpr std::size_t SYSTEM_ERROR_PROOFING_INVERSE_AT = 6;
inline constexpr std::array SYSTEM_MARKS{FrameMark{7, 0x00}};

// Closing frame 5: d0 = 0, then year - 2000, month, day, hour, minute, second.
inline constexpr std::array TIME_MARKS{FrameMark{0, 0x00}};
inline constexpr std::size_t TIME_AT = 1;
inline constexpr std::size_t TIME_BYTES = 6;

static_assert(FieldsFit(CHANNEL_FIELDS));
static_assert(FieldsFit(CHANNEL_FILTERS_FIELDS, std::array{FrameMark{CHANNEL_FILTER_COUNT_AT, 0}}));
static_assert(FieldsFit(RECORDING_FILTER_HEAD_FIELDS));
static_assert(FieldsFit(RECORDING_FILTER_RANGE_FIELDS));
static_assert(FieldsFit(HARD_FILTER_FIELDS, std::array{FrameMark{HARD_FILTER_COUNT_AT, 0}}));
static_assert(HARD_FILTER_FORMAT_AT > HARD_FILTER_FORMAT_MARKS.back().at);
// The match value and mask fill the frame's two halves, in either order.
static_assert(HARD_FILTER_VALUE_AT != HARD_FILTER_MASK_AT && HARD_FILTER_VALUE_AT % 4 == 0 &&
              HARD_FILTER_MASK_AT % 4 == 0 && HARD_FILTER_VALUE_AT + 4 <= FRAME_DATA_BYTES &&
              HARD_FILTER_MASK_AT + 4 <= FRAME_DATA_BYTES);
static_assert(FieldsFit(BRIDGE_FIELDS, std::array{FrameMark{BRIDGE_COUNT_AT, 0}}));
static_assert(FieldsFit(BRIDGE_MATCH_FIELDS, std::array{FrameMark{BRIDGE_RULE_LEAD_AT, 0}}));
static_assert(FieldsFit(BRIDGE_IDS_FIELDS));
static_assert(FieldsFit(BRIDGE_FORWARD_FIELDS, BRIDGE_FORWARD_MARKS));
static_assert(FieldsFit(REPLAY_FIELDS, std::array{FrameMark{REPLAY_COUNT_AT, 0}}));
static_assert(FieldsFit(REPLAY_PLAY_FIELDS, REPLAY_PLAY_MARKS));
static_assert(FieldsFit(SYSTEM_FIELDS, std::array{FrameMark{SYSTEM_ERROR_PROOFING_INVERSE_AT, 0},
                                                  SYSTEM_MARKS[0]}));
static_assert(TIME_AT + TIME_BYTES <= FRAME_DATA_BYTES && TIME_MARKS[0].at < TIME_AT);

}  // namespace quillon::protocol
