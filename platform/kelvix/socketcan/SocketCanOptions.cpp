#include "platform/kelvix/socketcan/SocketCanOptions.hpp"

#include <algorithm>
#include <charconv>

namespace kelvix {
namespace {

// Network interface names are at most 15 bytes and hold no '/', ':' or blanks.
constexpr std::size_t MAX_INTERFACE_NAME = 15;

bool IsInterfaceName(std::string_view name) {
    return !name.empty() && name.size() <= MAX_INTERFACE_NAME &&
           std::none_of(name.begin(), name.end(), [](char c) {
               return c == '/' || c == ':' || c == '=' || c == ' ' || c == '\t';
           });
}

bool ParseWait(std::string_view value, std::uint32_t& waitMs) {
    const auto [end, status] = std::from_chars(value.data(), value.data() + value.size(), waitMs);
    return !value.empty() && status == std::errc() && end == value.data() + value.size();
}

bool ApplyItem(std::string_view item, SocketCanOptions& options, std::size_t& channels,
               std::string& error) {
    if (item.starts_with("queue-wait-ms=")) {
        if (ParseWait(item.substr(14), options.queueWaitMs)) {
            return true;
        }
        error = "socketcan option \"" + std::string(item) + "\" needs a whole number of ms";
        return false;
    }
    if (!IsInterfaceName(item)) {
        error = "socketcan option \"" + std::string(item) + "\" is not an interface name";
        return false;
    }
    if (channels == options.interfaces.size()) {
        error = "socketcan interface \"" + std::string(item) + "\": the adapter has 2 channels";
        return false;
    }
    options.interfaces[channels++] = std::string(item);
    return true;
}

}  // namespace

std::optional<SocketCanOptions> ParseSocketCanOptions(std::string_view text, std::string& error) {
    SocketCanOptions options;
    std::size_t channels = 0;
    while (!text.empty()) {
        const auto comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        if (!item.empty() && !ApplyItem(item, options, channels, error)) {
            return std::nullopt;
        }
    }
    if (channels == 0) {
        error = "socketcan needs an interface name, e.g. socketcan:can0,can1";
        return std::nullopt;
    }
    return options;
}

}  // namespace kelvix
