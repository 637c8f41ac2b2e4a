// Where the lines of a stretch of text end, found 64 bytes at a time: a
// reader then takes each line without searching for its end, which costs
// more than the search itself on logs whose line lengths vary.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillon::canlog {

/// Bytes FindLineEnds looks at in one step; `ends` needs this much room
/// beyond the count it returns.
inline constexpr std::size_t LINE_END_STEP = 64;

/// Writes the offsets of the LF bytes of `text[0, size)`, ascending, to `ends`
/// and returns how many there are. `ends` must have room for size +
/// LINE_END_STEP entries.
std::size_t FindLineEnds(const char* text, std::size_t size, std::uint32_t* ends);

}  // namespace quillon::canlog
