// How many bytes a UTF-8 character takes, told by its first byte: what a
// conversion skips when it replaces a character it cannot convert.
#pragma once

#include <cstddef>

namespace quillon::sys {

/// Length of the UTF-8 sequence that `lead` begins; 1 for a byte that begins
/// none (ASCII, or a stray continuation byte), so a scan always moves on.
inline std::size_t Utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0) {
        return 4;
    }
    if (lead >= 0xE0) {
        return 3;
    }
    if (lead >= 0xC0) {
        return 2;
    }
    return 1;
}

}  // namespace quillon::sys
