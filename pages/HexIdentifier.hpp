// The hexadecimal text rule of the CAN basic page's BTR and identifier boxes:
// an odd-length text gets a '0' in front, then each pair of digits is one
// byte, most significant first. No "0x" prefix is typed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillon::pages {

/// Value of a text of hexadecimal digits (empty gives 0), or nothing when a
/// character is not a hexadecimal digit or the value does not fit 32 bits.
std::optional<std::uint32_t> ParseHexText(std::string_view text);

/// Lowercase hexadecimal without prefix or leading zeros, as "%x" prints it.
std::string FormatHexLower(std::uint32_t value);

}  // namespace quillon::pages
