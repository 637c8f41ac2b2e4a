// Hexadecimal text of packets as the DTU pages and the debug window show it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::pages {

/// Parses pairs of hexadecimal digits, skipping blanks between pairs. A pair
/// whose second character is a blank is read as 0 and its first digit ("A " ->
/// 0x0A); parsing stops at a pair with any other character, and a last
/// single character is dropped. Returns the bytes parsed so far.
std::vector<std::uint8_t> HexTextToBytes(std::string_view text);

/// The value of one hexadecimal digit ('0'-'9', 'A'-'F', 'a'-'f'), or nothing.
std::optional<std::uint8_t> HexDigitValue(char c);

/// Two upper-case hexadecimal digits and a blank per byte: {0x01, 0xAB} -> "01 AB ".
std::string BytesToHexText(std::span<const std::uint8_t> bytes);

}  // namespace quillon::pages
