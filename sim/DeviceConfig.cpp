#include "sim/DeviceConfig.hpp"

#include <charconv>
#include <limits>

#include "platform/system/InputFile.hpp"
#include "platform/system/Utf8Path.hpp"

namespace quillon::sim {
namespace {

template <typename T>
bool ParseNumber(std::string_view text, T& value,
                 std::uint64_t max = std::numeric_limits<T>::max()) {
    std::uint64_t parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() || parsed > max) {
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

bool ParsePercent(std::string_view text, std::uint8_t& percent) {
    return ParseNumber(text, percent, 100);
}

bool ParseSeed(std::string_view text, std::optional<std::uint64_t>& seed) {
    std::uint64_t value = 0;
    if (!ParseNumber(text, value)) {
        return false;
    }
    seed = value;
    return true;
}

constexpr std::string_view NO_STATE = "none";

// Every device option, by key. A flag without a value gets an empty value.
constexpr DeviceOption OPTIONS[] = {
    {"type",
     "device type code: 1 recorder (default), 2 bridge, 3 replayer, 4/6 upgrade modes, 7 DTU",
     false, [](std::string_view v, DeviceConfig& c) { return ParseNumber(v, c.type); }},
    {"serial", "serial number, 24 hex digits (12 bytes)", false,
     [](std::string_view v, DeviceConfig& c) { return ParseSerial(v, c.serial); }},
    {"hw", "hardware version number (default 1)", false,
     [](std::string_view v, DeviceConfig& c) { return ParseNumber(v, c.hardwareVersion); }},
    {"fw", "firmware version number (default 11)", false,
     [](std::string_view v, DeviceConfig& c) { return ParseNumber(v, c.firmwareVersion); }},
    {"storage-delay-ms", "time the storage initialisation takes (default 1500)", false,
     [](std::string_view v, DeviceConfig& c) { return ParseNumber(v, c.storageDelayMs); }},
    {"storage-result", "storage initialisation result byte (default 1 = success)", false,
     [](std::string_view v, DeviceConfig& c) { return ParseNumber(v, c.storageResult); }},
    {"erase-ms", "time the boot loader's flash erase takes (default 2000)", false,
     [](std::string_view v, DeviceConfig& c) { return ParseNumber(v, c.eraseMs); }},
    {"state", "file that keeps the device between runs; none: a fresh device every run", false,
     [](std::string_view v, DeviceConfig& c) {
         c.stateChosen = true;
         c.statePath = v == NO_STATE ? std::string() : std::string(v);
         return !v.empty();
     }},
    {"drop", "percentage of the frames sent to the device that it does not hear", false,
     [](std::string_view v, DeviceConfig& c) { return ParsePercent(v, c.dropPercent); }},
    {"reply-drop", "percentage of the device's frames that are lost", false,
     [](std::string_view v, DeviceConfig& c) { return ParsePercent(v, c.replyDropPercent); }},
    {"reply-delay-ms", "delay of every frame the device sends", false,
     [](std::string_view v, DeviceConfig& c) { return ParseNumber(v, c.replyDelayMs); }},
    {"silent", "the device hears (and applies writes) but never answers", true,
     [](std::string_view v, DeviceConfig& c) {
         c.silent = true;
         return v.empty();
     }},
    {"seed", "seed of the fault dice: the same faults every run", false,
     [](std::string_view v, DeviceConfig& c) { return ParseSeed(v, c.seed); }},
    {"storage", "directory of the device's storage: what a recorder records, what a replayer plays",
     false,
     [](std::string_view v, DeviceConfig& c) {
         c.storageDir = std::string(v);
         return !v.empty();
     }},
    {"storage-mb", "size of the device's storage in megabytes (default 0: no limit)", false,
     [](std::string_view v, DeviceConfig& c) { return ParseNumber(v, c.storageMb); }},
};

bool ApplyOption(std::string_view key, std::string_view value, DeviceConfig& config) {
    for (const auto& rule : OPTIONS) {
        if (rule.key == key) {
            return rule.apply(value, config);
        }
    }
    return false;
}

}  // namespace

std::span<const DeviceOption> DeviceOptions() {
    return OPTIONS;
}

std::optional<DeviceConfig> ParseDeviceConfig(std::string_view options, std::string& error,
                                              const EnvironmentLookup& env) {
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
    if (!config.stateChosen) {
        // The default file's folder is made when the device first saves.
        config.statePath = sys::PathToUtf8(DefaultStatePath({config.type, config.serial}, env));
        return config;
    }
    // The store is saved after every write; a state file that can never be
    // written (missing directory, a directory or FIFO in its place) is refused now.
    if (!config.statePath.empty()) {
        if (std::string problem = sys::OutputFileProblem(sys::PathFromUtf8(config.statePath));
            !problem.empty()) {
            error = std::move(problem);
            return std::nullopt;
        }
    }
    return config;
}

}  // namespace quillon::sim
