#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "protocol/SaveResult.hpp"

namespace quillon::protocol {

// Saves a file the program keeps (settings sections, DTU records, kelvix.conf, the simulated
// device's state) and says how it went as a SaveResult, for the window, the CLI and the device.
// Makes `file` hold exactly `bytes` through sys::ReplaceFileBytes: a temporary copy beside it,
// flushed to disk and renamed over it, so an interrupted save leaves the previous file whole.
// On failure the temporary copy is removed, `file` is as it was and the result says why.
SaveResult SaveFile(const std::filesystem::path& file, std::span<const std::uint8_t> bytes);

}  // namespace quillon::protocol
