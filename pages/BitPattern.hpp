// The bit buttons of the advanced filter page and the pattern text of a filter.
#pragma once

#include <cstdint>
#include <string>

namespace quillon::pages {

/// Control id of the bit button labelled `label` (1..29), which edits bit label-1.
int BitButtonId(int label);
/// Three-line caption of a bit button: label, empty line, state character.
std::string BitButtonCaption(int label, char stateCharacter);

/// Pattern text of a filter, most significant bit first: "1 ", "0 " or "X "
/// per bit, 11 bits for a standard format (0), 29 for any other.
std::string FormatBitPattern(std::uint8_t format, std::uint32_t value, std::uint32_t mask);

}  // namespace quillon::pages
