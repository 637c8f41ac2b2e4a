// What a simulated device is: its type, identity, versions and timing.
//
// Options text (the part after "sim:" in KELVIX_ADAPTER, or quillon-devsim's
// flags), comma-separated key=value pairs:
//   type=N              device type code: 1 recorder (default), 2 bridge,
//                       3 replayer, 4 / 6 upgrade modes, 7 DTU
//   serial=HEX24        12-byte serial number as 24 hex digits
//   hw=N, fw=N          hardware / firmware version numbers (defaults 1, 11)
//   storage-delay-ms=N  time the storage initialisation takes (default 1500)
//   storage-result=N    d0 of the storage reply (default 1 = success)
//   erase-ms=N          time the bootloader's flash erase takes (default 2000)
//   state=PATH          where the device remembers its parameter store, DTU
//                       records and received image between runs (loaded at
//                       start, saved after every change); without this key
//                       the file lies in the user's state directory, one per
//                       type and serial (see DefaultStatePath)
//   state=none          remember nothing: a fresh device every run
// Faults, to reproduce a lossy bus or a dying device:
//   drop=P              the device does not hear P % (0..100) of the frames sent to it
//   reply-drop=P        P % of the frames the device sends are lost
//   reply-delay-ms=N    every frame the device sends leaves N ms late
//   silent              the device hears (and applies writes) but never answers
//   seed=N              seeds the dice, so the same faults come every run
//                       (without it every run draws afresh)
// Example: sim:type=2,fw=11,serial=0102030405060708090A0B0C
#pragma once

#include <array>
#include <cstdint>
#include <optional>
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
    /// False: the device gets no thread; its owner lets it take what reached
    /// it by calling SimulatedDevice::HandleDelivered (one thread, no waits).
    bool ownThread = true;
};

/// Parses an options text; returns nothing and sets `error` (naming the key)
/// when a key is unknown or its value is out of range.
/// Without a state key the state file is DefaultStatePath in `env`.
std::optional<DeviceConfig> ParseDeviceConfig(std::string_view options, std::string& error,
                                              const EnvironmentLookup& env = ProcessEnvironment);

}  // namespace quillon::sim
