#include "platform/kelvix/qcanbus/QCanBusOptions.hpp"

#include <charconv>

namespace kelvix {
namespace {

constexpr std::string_view USAGE = "e.g. qcanbus:virtualcan:can0,can1";

bool ParseMs(std::string_view value, std::uint32_t& ms) {
    const auto [end, status] = std::from_chars(value.data(), value.data() + value.size(), ms);
    return !value.empty() && status == std::errc() && end == value.data() + value.size();
}

// Applies a "key=value" item; false when it is not one of ours.
bool ApplySetting(std::string_view item, QCanBusOptions& options, std::string& error) {
    for (auto [key, target] :
         {std::pair{std::string_view("connect-wait-ms="), &options.connectWaitMs},
          std::pair{std::string_view("queue-wait-ms="), &options.queueWaitMs}}) {
        if (item.starts_with(key)) {
            if (!ParseMs(item.substr(key.size()), *target)) {
                error = "qcanbus option \"" + std::string(item) + "\" needs a whole number of ms";
            }
            return true;
        }
    }
    return false;
}

bool ApplyItem(std::string_view item, QCanBusOptions& options, std::size_t& channels,
               std::string& error) {
    if (ApplySetting(item, options, error)) {
        return error.empty();
    }
    if (channels == options.interfaces.size()) {
        error = "qcanbus interface \"" + std::string(item) + "\": the adapter has 2 channels";
        return false;
    }
    options.interfaces[channels++] = std::string(item);
    return true;
}

}  // namespace

std::optional<QCanBusOptions> ParseQCanBusOptions(std::string_view text, std::string& error) {
    const auto colon = text.find(':');
    QCanBusOptions options;
    options.plugin = std::string(text.substr(0, colon));
    if (options.plugin.empty() || colon == std::string_view::npos) {
        error = "qcanbus needs a plugin and an interface, " + std::string(USAGE);
        return std::nullopt;
    }
    std::string_view rest = text.substr(colon + 1);
    std::size_t channels = 0;
    while (!rest.empty()) {
        const auto comma = rest.find(',');
        const std::string_view item = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        if (!item.empty() && !ApplyItem(item, options, channels, error)) {
            return std::nullopt;
        }
    }
    if (channels == 0) {
        error =
            "qcanbus plugin \"" + options.plugin + "\" needs an interface, " + std::string(USAGE);
        return std::nullopt;
    }
    return options;
}

}  // namespace kelvix
