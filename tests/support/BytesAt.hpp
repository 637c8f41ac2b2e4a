#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <sstream>

namespace quillon::protocol::test {

// Checks that `bytes` holds exactly `expected` starting at `offset`, naming the first mismatch.
inline ::testing::AssertionResult BytesAt(std::span<const std::uint8_t> bytes, std::size_t offset,
                                          std::initializer_list<std::uint8_t> expected) {
    if (offset + expected.size() > bytes.size()) {
        return ::testing::AssertionFailure() << "offset " << offset << " + " << expected.size()
                                             << " is past the end (" << bytes.size() << ")";
    }
    std::size_t i = offset;
    for (std::uint8_t want : expected) {
        if (bytes[i] != want) {
            std::ostringstream text;
            text << "byte " << i << " is 0x" << std::hex << int{bytes[i]} << ", want 0x"
                 << int{want};
            return ::testing::AssertionFailure() << text.str();
        }
        ++i;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace quillon::protocol::test
