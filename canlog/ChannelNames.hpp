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

namespace channel_names_detail {

// Every byte compared, with no early exit: the logs alternate between the two
// names, and a loop that stopped at the first difference would guess wrong
// about every other line.
inline bool SameName(const std::string& known, std::string_view name) {
    if (known.size() != name.size()) {
        return false;
    }
    unsigned difference = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        difference |= static_cast<unsigned char>(known[i] ^ name[i]);
    }
    return difference == 0;
}

}  // namespace channel_names_detail

/// The channel `name` maps to, or -1 when it names neither. Inline: asked of
/// every line of a candump log.
inline int ChannelOfName(const ChannelNames& names, std::string_view name) {
    const bool first = channel_names_detail::SameName(names[0], name);
    const bool second = channel_names_detail::SameName(names[1], name);
    return first ? 0 : second ? 1 : -1;
}

}  // namespace quillon::canlog
