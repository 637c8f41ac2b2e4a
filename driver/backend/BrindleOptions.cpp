#include "driver/backend/BrindleOptions.hpp"

#include <charconv>

namespace brindle {

namespace {

constexpr std::uint32_t MAXIMUM_TRANSMIT_QUEUE_FRAMES = 4096;

bool ParseNumber(std::string_view text, std::uint32_t& value) {
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && failure == std::errc() && end == text.data() + text.size();
}

/// Applies `item` if it is one of ours; nothing if it is not, false if its value is bad.
std::optional<bool> ApplyOwnOption(std::string_view item, BrindleOptions& options) {
    std::uint32_t value = 0;
    if (item.starts_with("tx-queue=")) {
        const bool good = ParseNumber(item.substr(9), value) && value > 0 &&
                          value <= MAXIMUM_TRANSMIT_QUEUE_FRAMES;
        options.transmitQueueFrames = value;
        return good;
    }
    if (item.starts_with("queue-wait-ms=")) {
        const bool good = ParseNumber(item.substr(14), value);
        options.queueWaitMs = value;
        return good;
    }
    if (item == "tx-paused") {
        options.transmitPaused = true;
        return true;
    }
    return std::nullopt;
}

}  // namespace

std::optional<BrindleOptions> ParseBrindleOptions(std::string_view text, std::string& error) {
    BrindleOptions options;
    while (!text.empty()) {
        const auto comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        const std::optional<bool> applied = ApplyOwnOption(item, options);
        if (applied && !*applied) {
            error = "the adapter option \"" + std::string(item) + "\" has a bad value";
            return std::nullopt;
        }
        if (!applied && !item.empty()) {
            options.busOptions += (options.busOptions.empty() ? "" : ",") + std::string(item);
        }
    }
    return options;
}

}  // namespace brindle
