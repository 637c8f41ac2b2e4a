// Which candump interface is channel 0 (CAN1) and which channel 1 (CAN2):
// the --channels option of the log commands, "can0,can1" by default.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace quillon::canlog {

using ChannelNames = std::array<std::string, 2>;
inline const ChannelNames DEFAULT_CHANNEL_NAMES = {"can0", "can1"};

/// Reads "NAME0,NAME1" into `names`: two different interface names without
/// blanks. Empty, or what is wrong (then `names` is as it was).
std::string ParseChannelNames(std::string_view text, ChannelNames& names);

/// The channel `name` maps to, or -1 when it names neither.
int ChannelOfName(const ChannelNames& names, std::string_view name);

}  // namespace quillon::canlog
