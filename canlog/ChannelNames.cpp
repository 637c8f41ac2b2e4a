#include "canlog/ChannelNames.hpp"

namespace quillon::canlog {

std::string ParseChannelNames(std::string_view text, ChannelNames& names) {
    const auto comma = text.find(',');
    const std::string_view first = text.substr(0, comma);
    const std::string_view second =
        comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    const auto usable = [](std::string_view name) {
        return !name.empty() && name.find_first_of(" \t,#()") == std::string_view::npos;
    };
    if (!usable(first) || !usable(second) || first == second) {
        return "--channels takes two different interface names, e.g. can0,can1: " +
               std::string(text);
    }
    names = {std::string(first), std::string(second)};
    return {};
}

namespace {

// Every byte compared, with no early exit: the logs alternate between the two
// names, and a loop that stopped at the first difference would guess wrong
// about every other line.
bool SameName(const std::string& known, std::string_view name) {
    if (known.size() != name.size()) {
        return false;
    }
    unsigned difference = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        difference |= static_cast<unsigned char>(known[i] ^ name[i]);
    }
    return difference == 0;
}

}  // namespace

int ChannelOfName(const ChannelNames& names, std::string_view name) {
    const bool first = SameName(names[0], name);
    const bool second = SameName(names[1], name);
    return first ? 0 : second ? 1 : -1;
}

}  // namespace quillon::canlog
