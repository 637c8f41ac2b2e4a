// How the DTU pages store typed text: one byte per character, the low byte of
// its code point.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quillon::dtu {

/// Stores the low byte of each character into `out` (which must hold them
/// all). A character above U+00FF ends the copy after its low byte was stored;
/// returns false then.
bool StoreLowBytes(std::u32string_view characters, std::span<std::uint8_t> out);

/// Text of stored bytes, one character per byte, so that StoreLowBytes gives
/// the same bytes back. The program shows stored text through the conversion
/// that stored it (the replay names use the ANSI code page both ways): a code
/// page here would join two stored bytes into one character whose low byte
/// the next collect would store in their place.
std::string StoredBytesText(std::span<const std::uint8_t> bytes);

}  // namespace quillon::dtu
