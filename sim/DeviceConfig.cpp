#include "sim/DeviceConfig.hpp"

#include <charconv>
#include <limits>

namespace quillon::sim {
namespace {

template <typename T>
bool ParseNumber(std::string_view text, T& value) {
    std::uint64_t parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() ||
        parsed > std::numeric_limits<T>::max()) {
        return false;
    }
    value = static_cast<T>(parsed);
    return true;
}

bool ParseSerial(std::string_view text, std::array<std::uint8_t, 12>& serial) {
    if (text.size() != 24) {
        return false;
    }
    for (std::size_t i = 0; i < serial.size(); ++i) {
        const auto pair = text.substr(2 * i, 2);
        const auto [end, error] = std::from_chars(pair.data(), pair.data() + 2, serial[i], 16);
        if (error != std::errc() || end != pair.data() + 2) {
            return false;
        }
    }
    return true;
}

bool ApplyOption(std::string_view key, std::string_view value, DeviceConfig& config) {
    if (key == "type")
        return ParseNumber(value, config.type);
    if (key == "serial")
        return ParseSerial(value, config.serial);
    if (key == "hw")
        return ParseNumber(value, config.hardwareVersion);
    if (key == "fw")
        return ParseNumber(value, config.firmwareVersion);
    if (key == "storage-delay-ms")
        return ParseNumber(value, config.storageDelayMs);
    if (key == "storage-result")
        return ParseNumber(value, config.storageResult);
    if (key == "erase-ms")
        return ParseNumber(value, config.eraseMs);
    if (key == "state") {
        config.statePath = std::string(value);
        return !value.empty();
    }
    return false;
}

}  // namespace

std::optional<DeviceConfig> ParseDeviceConfig(std::string_view options, std::string& error) {
    DeviceConfig config;
    while (!options.empty()) {
        const auto comma = options.find(',');
        const std::string_view item = options.substr(0, comma);
        options = comma == std::string_view::npos ? std::string_view() : options.substr(comma + 1);
        if (item.empty()) {
            continue;
        }
        const auto equals = item.find('=');
        const std::string_view key = item.substr(0, equals);
        const std::string_view value =
            equals == std::string_view::npos ? std::string_view() : item.substr(equals + 1);
        if (!ApplyOption(key, value, config)) {
            error = "simulated device option \"" + std::string(item) +
                    "\" is unknown or has a bad value";
            return std::nullopt;
        }
    }
    return config;
}

}  // namespace quillon::sim
