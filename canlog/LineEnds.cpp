#include "canlog/LineEnds.hpp"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillon::canlog {
namespace {

// Line ends written for each step whatever it holds: log lines are longer
// than 16 bytes, so a step rarely holds more.
constexpr int UNCONDITIONAL_ENDS = 4;

// Bit i set where text[i] is an LF, for the LINE_END_STEP bytes at `text`.
std::uint64_t LineFeedBits(const char* text) {
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    std::uint64_t bits = 0;
    for (int part = 0; part < 4; ++part) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + 16 * part));
        const auto found = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lf)));
        bits |= std::uint64_t{found} << (16 * part);
    }
    return bits;
#else
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < LINE_END_STEP; ++i) {
        bits |= std::uint64_t{text[i] == '\n'} << i;
    }
    return bits;
#endif
}

// The set bits of `bits`, counted by halves: std::popcount is a library call
// where the processor's own count is not part of the baseline instruction set.
int CountBits(std::uint64_t bits) {
    bits -= (bits >> 1) & 0x5555555555555555u;
    bits = (bits & 0x3333333333333333u) + ((bits >> 2) & 0x3333333333333333u);
    bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
    return static_cast<int>((bits * 0x0101010101010101u) >> 56);
}

}  // namespace

std::size_t FindLineEnds(const char* text, std::size_t size, std::uint32_t* ends) {
    std::size_t count = 0;
    std::size_t at = 0;
    for (; at + LINE_END_STEP <= size; at += LINE_END_STEP) {
        std::uint64_t bits = LineFeedBits(text + at);
        // Four offsets are written whether or not there are four ends, so
        // that the loop does not depend on how many lines the step holds;
        // the count then keeps the real ones. Steps of lines shorter than 16
        // bytes take the second loop.
        const int found = CountBits(bits);
        for (int i = 0; i < UNCONDITIONAL_ENDS; ++i) {
            ends[count + static_cast<std::size_t>(i)] =
                static_cast<std::uint32_t>(at + static_cast<std::size_t>(std::countr_zero(bits)));
            bits &= bits - 1;
        }
        for (int i = UNCONDITIONAL_ENDS; i < found; ++i) {
            ends[count + static_cast<std::size_t>(i)] =
                static_cast<std::uint32_t>(at + static_cast<std::size_t>(std::countr_zero(bits)));
            bits &= bits - 1;
        }
        count += static_cast<std::size_t>(found);
    }
    for (; at < size; ++at) {
        if (text[at] == '\n') {
            ends[count++] = static_cast<std::uint32_t>(at);
        }
    }
    return count;
}

}  // namespace quillon::canlog
