// Quillon's model of the device: where the firmware's exact rules are not known
// to us, the model makes a choice, and each choice is written here once so that
// it can be changed in one place. README lists them in its model section.
#pragma once

#include <cstddef>
#include <cstdint>

#include "protocol/Capacities.hpp"

namespace quillon::behaviour {

/// A channel takes frames in and sends them out unless `enable` is this value.
inline constexpr std::uint8_t CHANNEL_OFF = 0;
/// The `workMode` in which a channel only listens; every other value sends.
inline constexpr std::uint8_t WORK_MODE_LISTEN_ONLY = 1;

/// Recording rules the model reads from a channel: the stored `filterCount`,
/// limited to the entries the record holds.
inline constexpr std::size_t MAX_RECORDING_RULES = protocol::MAX_CAN_FILTERS;

/// A regular recording rule spends its interval even when an earlier rule in
/// the list already recorded the frame: each rule keeps its own clock.
inline constexpr bool INTERVAL_SPENT_WHEN_ALREADY_RECORDED = true;

/// Bridge rule outputs of one frame go out in list order; a direct copy of
/// the frame ("CAN1全部直接转发" / "CAN2全部直接转发") follows them.
inline constexpr bool DIRECT_COPY_AFTER_RULES = true;

/// A forwarded frame's `dstLength` up to this sets its length; 9 ("不限") and
/// every larger value keep the source's length.
inline constexpr std::uint8_t MAX_SET_LENGTH = 8;

/// A play of a replay file lasts from its first to its last frame, counting the
/// frames the channel mask leaves out: the next play starts when it ends (plus
/// `intervalSec` between plays of one entry).
inline constexpr bool PLAY_LENGTH_COUNTS_ALL_FRAMES = true;

/// Switch events the report keeps; later ones are only counted, so that the
/// report stays small whatever the log's length.
inline constexpr std::size_t MAX_KEPT_SWITCHES = 100;

}  // namespace quillon::behaviour
