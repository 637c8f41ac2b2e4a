// What a simulated device is: its type, identity, versions and timing.
//
// Options text (the part after "sim:" in KELVIX_ADAPTER, or quillon-devsim's
// flags): comma-separated key=value pairs and flags, every key in one table
// (DeviceOptions) with what it sets. state=PATH is where the device remembers
// its parameter store, DTU records and received image between runs (loaded at
// start, saved after every change); without a state key the file lies in the
// user's state directory, one per type and serial (see DefaultStatePath);
// state=none remembers nothing. The fault keys (drop, reply-drop,
// reply-delay-ms, silent, seed) reproduce a lossy bus or a dying device.
// storage=DIR is the device's storage card: a recorder writes its record files
// there, a replayer plays from there (storage-mb=N its size).
// Example: sim:type=2,fw=11,serial=0102030405060708090A0B0C
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "sim/DeviceState.hpp"

namespace quillon::sim {

struct DeviceConfig {
    std::uint8_t type = 1;
    std::array<std::uint8_t, 12> serial = {0x51, 0x4C, 0x4E, 0x00, 0x20, 0x26,
                                           0x12, 0x07, 0x00, 0x00, 0x00, 0x01};
    std::uint16_t hardwareVersion = 1;
    std::uint16_t firmwareVersion = 11;
    std::uint32_t storageDelayMs = 1500;
    std::uint8_t storageResult = 1;
    std::uint32_t eraseMs = 2000;
    std::string statePath;     ///< UTF-8; empty: the device remembers nothing
    bool stateChosen = false;  ///< a state key was given (else the default file is used)
    std::uint8_t dropPercent = 0;
    std::uint8_t replyDropPercent = 0;
    std::uint32_t replyDelayMs = 0;
    bool silent = false;
    std::optional<std::uint64_t> seed;
    std::string storageDir;       ///< UTF-8; empty: the device has no storage
    std::uint32_t storageMb = 0;  ///< storage size; 0: no limit
    /// False: the device gets no thread; its owner lets it take what reached
    /// it by calling SimulatedDevice::HandleDelivered (one thread, no waits).
    bool ownThread = true;
};

/// One option of the simulated device, as the adapter spec and quillon-devsim take it.
struct DeviceOption {
    std::string_view key;
    std::string_view help;  ///< what it sets, for people
    bool flag;              ///< takes no value ("silent")
    /// Takes `value` into `config`; false when the value is out of range.
    bool (*apply)(std::string_view value, DeviceConfig& config);
};

/// Every option of the simulated device, in one table.
std::span<const DeviceOption> DeviceOptions();

/// Parses an options text; returns nothing and sets `error` (naming the key)
/// when a key is unknown or its value is out of range.
/// Without a state key the state file is DefaultStatePath in `env`.
std::optional<DeviceConfig> ParseDeviceConfig(std::string_view options, std::string& error,
                                              const EnvironmentLookup& env = ProcessEnvironment);

}  // namespace quillon::sim
