// The configuration protocol's frames: one definition of every identifier and
// byte layout, used to build the parameter write, to decode the device's
// replies, and by the device simulator for the opposite direction.
//
// Frames are built with zeroed data (bytes the layout leaves unset are 0) and
// plain: the caller enciphers just before sending.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/kelvix/Kelvix.h"
#include "platform/system/LocalTime.hpp"
#include "protocol/BridgePara.hpp"
#include "protocol/CanPara.hpp"
#include "protocol/HardFilterPara.hpp"
#include "protocol/ReplayPara.hpp"
#include "protocol/SysPara.hpp"

namespace quillon::protocol {

// Standard identifiers.
inline constexpr std::uint32_t ID_COMPLETION = 0;    ///< closing command / read completion
inline constexpr std::uint32_t ID_SERIAL_LOW = 1;    ///< identity: serial bytes 0..7
inline constexpr std::uint32_t ID_SERIAL_HIGH = 2;   ///< identity: serial 8..11 + device type
inline constexpr std::uint32_t ID_VERSIONS = 3;      ///< identity: hardware/firmware version
inline constexpr std::uint32_t ID_SYSTEM = 4;        ///< system settings
inline constexpr std::uint32_t ID_TIME = 5;          ///< PC local time
inline constexpr std::uint32_t ID_READ_REQUEST = 6;  ///< plain read request
inline constexpr std::uint32_t ID_STORAGE_INIT = 7;  ///< storage initialisation and its reply
inline constexpr std::uint32_t ID_OPEN_CLOSE = 8;    ///< opening frame and first closing command

// Extended identifiers.
inline constexpr std::uint32_t ID_CHANNEL = 1;  ///< 1, 2, then the filter entries
inline constexpr std::uint32_t ID_CHANNEL_FILTERS = ID_CHANNEL + 2;  ///< filter k: +2k, +2k + 1
inline constexpr std::uint32_t ID_HARD_FILTER = 0x100;
inline constexpr std::uint32_t ID_HARD_FILTERS = ID_HARD_FILTER + 1;  ///< filter k: +2k, +2k + 1
inline constexpr std::uint32_t ID_BRIDGE = 0x1FF;  ///< then 0x200 + 6k .. 0x204 + 6k
inline constexpr std::uint32_t ID_BRIDGE_RULES = 0x200;
inline constexpr std::uint32_t ID_REPLAY = 0x2FF;  ///< then 0x300 + 4k .. 0x302 + 4k
inline constexpr std::uint32_t ID_REPLAY_RULES = 0x300;
/// Identifiers per bridge rule (part 5 unused) and per replay file (part 3 unused).
inline constexpr std::uint32_t BRIDGE_RULE_STRIDE = 6;
inline constexpr std::uint32_t REPLAY_RULE_STRIDE = 4;

inline constexpr std::size_t CHANNEL_BLOCK_FRAMES = 42;
inline constexpr std::size_t BRIDGE_RULE_FRAMES = 5;
inline constexpr std::size_t REPLAY_RULE_FRAMES = 3;
/// Recording rules announced to firmware 10 or older.
inline constexpr std::uint8_t OLD_FIRMWARE_FILTER_LIMIT = 10;
inline constexpr std::uint32_t OLD_FIRMWARE_VERSION = 10;

/// A data frame with zeroed payload.
CanFrameRecord MakeConfigFrame(std::uint32_t id, bool extended, std::uint8_t dataLen = 8);

/// Opening frame: standard 8, 01 FF FF FF FF FF FF FF.
CanFrameRecord BuildOpeningFrame();
/// The recording-rule count frame 2 announces: at most 10 to firmware 10 or
/// older, and to a device whose version was never read (0).
std::uint8_t AnnouncedFilterCount(std::uint8_t filterCount, std::uint32_t firmwareVersion);
/// Frames 1..42 of one channel; frame 2 announces AnnouncedFilterCount rules.
std::array<CanFrameRecord, CHANNEL_BLOCK_FRAMES> BuildChannelBlock(const CanPara& channel,
                                                                   std::uint32_t firmwareVersion);
/// Frame 0x100 and two frames for each of the first `filterCount` filters
/// (at most MAX_HARD_FILTERS of them).
std::vector<CanFrameRecord> BuildHardFilterBlock(const HardFilterPara& filters);
CanFrameRecord BuildBridgeHeader(const BridgePara& bridge);
std::array<CanFrameRecord, BRIDGE_RULE_FRAMES> BuildBridgeRule(const BridgeRule& rule,
                                                               std::size_t k);
CanFrameRecord BuildReplayHeader(const ReplayPara& replay);
std::array<CanFrameRecord, REPLAY_RULE_FRAMES> BuildReplayRule(const ReplayRule& rule,
                                                               std::size_t k);
/// Closing frame 4 with the system settings.
CanFrameRecord BuildSystemFrame(const SysPara& sys);
/// Closing frame 5 with the local time (year - 2000).
CanFrameRecord BuildTimeFrame(const sys::LocalTime& now);
/// Closing frames 8 and 0, each of length 1 with d0 = 1.
std::array<CanFrameRecord, 2> BuildClosingCommands();

// The device's side of the same frames.

/// The opening frame: standard 8 of length 8 with d0 = 1.
bool IsOpeningFrame(const CanFrameRecord& frame);
/// The last closing command: standard 0 of length 1 with d0 = 1.
bool IsApplyCommand(const CanFrameRecord& frame);
/// Frame 4 from the PC into `sys`: file size, option and the three switches.
void DecodeSystemFrame(const CanFrameRecord& frame, SysPara& sys);
/// Frame 5 from the PC: year - 2000, month, day, hour, minute, second.
std::array<std::uint8_t, 6> DecodeTimeFrame(const CanFrameRecord& frame);

/// The sections a received parameter frame of one channel decodes into.
struct ParameterTargets {
    CanPara& channel;
    HardFilterPara& filters;
    BridgePara& bridge;
    ReplayPara& replay;
};

/// Decodes one deciphered extended parameter frame into `targets`. Counts are
/// stored as received; entries beyond a table's capacity are never written.
/// Returns false for identifiers the protocol does not define (nothing changes).
bool DecodeParameterFrame(const CanFrameRecord& frame, ParameterTargets targets);

/// The number of entries a header frame announces (recording filters of the
/// channel's second frame, acceptance filters, bridge rules, replay files),
/// as received; nothing for any other frame.
std::optional<std::uint8_t> AnnouncedCount(const CanFrameRecord& frame);

}  // namespace quillon::protocol
