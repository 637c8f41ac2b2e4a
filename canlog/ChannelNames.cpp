#include "canlog/ChannelNames.hpp"

#include <algorithm>

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

int ChannelOfName(const ChannelNames& names, std::string_view name) {
    for (int channel = 0; channel < 2; ++channel) {
        // By hand: names are a few bytes, and a call to memcmp a line shows.
        const std::string& candidate = names[channel];
        if (candidate.size() == name.size() &&
            std::equal(name.begin(), name.end(), candidate.begin(),
                       [](char a, char b) { return a == b; })) {
            return channel;
        }
    }
    return -1;
}

}  // namespace quillon::canlog
