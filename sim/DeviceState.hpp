// What a simulated device remembers between runs: its parameter store, the
// two DTU records and the image its boot loader last received, in one file.
//
// File layout (little-endian), STATE_FILE_SIZE bytes:
//   offset  size  field
//        0     8  magic "QLNDEVST"
//        8     2  layout version (1)
//       10     1  device type code
//       11     1  reserved (0)
//       12    12  serial number
//       24  1672  parameter store, as QXCfg.dat holds it (sections with checksums)
//     1696   260  DTU basic record (checksum first)
//     1956   196  DTU advanced record (checksum first)
//     2152     1  1 when an image was received, else 0
//     2153     3  reserved (0)
//     2156     8  image length in bytes (u64)
//     2164    32  SHA-256 of the image
//     2196     4  FNV-1a (32-bit) of bytes 0..2195
// A file of exactly 1672 bytes is the older form that held the parameter
// store alone; it is still read.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "platform/system/Environment.hpp"
#include "protocol/DtuAdvPara.hpp"
#include "protocol/DtuBasicPara.hpp"
#include "protocol/SaveResult.hpp"
#include "protocol/SettingsFile.hpp"
#include "sim/Bootloader.hpp"

namespace quillon::sim {

inline constexpr std::size_t STATE_FILE_SIZE = 2200;

struct DeviceState {
    protocol::SettingsSections store{};
    protocol::DtuBasicPara dtuBasic{};
    protocol::DtuAdvPara dtuAdvanced{};
    ImageRecord image{};

    bool operator==(const DeviceState&) const = default;
};

/// Who the state belongs to: a file of another type or serial is foreign.
struct DeviceOwner {
    std::uint8_t type = 0;
    std::array<std::uint8_t, 12> serial{};
};

std::array<std::uint8_t, STATE_FILE_SIZE> EncodeDeviceState(const DeviceState& state,
                                                            const DeviceOwner& owner);

/// Outcome of loading: the state when the file was whole and this device's,
/// else nothing and a warning that says what was wrong with which file. A
/// missing file is no warning: the device simply starts fresh.
struct StateLoad {
    std::optional<DeviceState> state;
    std::string warning;
};

/// Checks size, checksum, magic, version and owner in that order.
StateLoad DecodeDeviceState(std::span<const std::uint8_t> bytes, const DeviceOwner& owner,
                            const std::filesystem::path& file);

/// Reads `file` (a regular file of at most STATE_FILE_SIZE bytes) and decodes it.
StateLoad LoadDeviceState(const std::filesystem::path& file, const DeviceOwner& owner);

/// Replaces `file` with the encoded state, creating its directory when missing.
protocol::SaveResult SaveDeviceState(const std::filesystem::path& file, const DeviceState& state,
                                     const DeviceOwner& owner);

using sys::EnvironmentLookup;
using sys::ProcessEnvironment;

/// Where a device remembers itself by default: $XDG_STATE_HOME/quillon/,
/// else $HOME/.local/state/quillon/, one file per type and serial, e.g.
/// ".../quillon/sim-type2-0102030405060708090A0B0C.state". Empty when neither
/// variable is set (the device then remembers nothing).
std::filesystem::path DefaultStatePath(const DeviceOwner& owner, const EnvironmentLookup& env);

}  // namespace quillon::sim
