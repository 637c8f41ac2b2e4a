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

}  // namespace quillon::canlog
