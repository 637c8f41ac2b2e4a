#pragma once

#include <cstdint>
#include <span>

namespace quillon::protocol {

// Checksum of a settings-file section: the one's complement of the 8-bit sum of the bytes that
// follow the section's checksum byte. Pass bytes 1..size-1 of the section, not the whole
// section; an all-zero tail gives 0xFF. Used only in files, never sent to a device.
std::uint8_t BlockChecksum(std::span<const std::uint8_t> bytes);

// True when byte 0 of a whole section equals BlockChecksum of the rest.
bool SectionChecksumMatches(std::span<const std::uint8_t> section);

}  // namespace quillon::protocol
