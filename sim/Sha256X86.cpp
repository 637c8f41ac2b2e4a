// The SHA-256 block function with the x86 SHA extensions: the device
// simulator hashes every image byte it receives, and in portable code that
// is the largest cost of a simulated upgrade.
#include <cpuid.h>
#include <immintrin.h>

#include "sim/Sha256Compress.hpp"

namespace quillon::sim {
namespace {

constexpr unsigned CPUID_EXTENDED_FEATURES = 7;
constexpr unsigned CPUID_SHA_BIT = 1u << 29;    // in EBX of leaf 7
constexpr unsigned CPUID_SSE41_BIT = 1u << 19;  // in ECX of leaf 1
constexpr unsigned CPUID_SSSE3_BIT = 1u << 9;   // in ECX of leaf 1

alignas(16) constexpr std::uint32_t ROUND_CONSTANTS[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

bool ProcessorHasShaInstructions() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid(1, &a, &b, &c, &d) == 0 || (c & CPUID_SSE41_BIT) == 0 ||
        (c & CPUID_SSSE3_BIT) == 0) {
        return false;
    }
    return __get_cpuid_count(CPUID_EXTENDED_FEATURES, 0, &a, &b, &c, &d) != 0 &&
           (b & CPUID_SHA_BIT) != 0;
}

// Four rounds: message words plus their constants, two at a time through the
// instruction that does two rounds.
__attribute__((target("sha,sse4.1,ssse3"))) void FourRounds(__m128i& abef, __m128i& cdgh,
                                                            __m128i words, int group) {
    const __m128i constants =
        _mm_load_si128(reinterpret_cast<const __m128i*>(&ROUND_CONSTANTS[4 * group]));
    __m128i message = _mm_add_epi32(words, constants);
    cdgh = _mm_sha256rnds2_epu32(cdgh, abef, message);
    message = _mm_shuffle_epi32(message, 0x0E);
    abef = _mm_sha256rnds2_epu32(abef, cdgh, message);
}

// The next four message words from the sixteen before them.
__attribute__((target("sha,sse4.1,ssse3"))) __m128i NextWords(__m128i w0, __m128i w1, __m128i w2,
                                                              __m128i w3) {
    const __m128i partial = _mm_add_epi32(_mm_sha256msg1_epu32(w0, w1), _mm_alignr_epi8(w3, w2, 4));
    return _mm_sha256msg2_epu32(partial, w3);
}

}  // namespace

bool ShaInstructionsUsable() {
    static const bool usable = ProcessorHasShaInstructions();
    return usable;
}

__attribute__((target("sha,sse4.1,ssse3"))) void CompressWithShaInstructions(
    Sha256State& state, const std::uint8_t* block) {
    // The instructions keep the state as the word pairs ABEF and CDGH.
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    const __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[0]));
    const __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[4]));
    const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);
    const __m128i abefBefore = abef;
    const __m128i cdghBefore = cdgh;

    __m128i w[4];
    for (int i = 0; i < 4; ++i) {
        w[i] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * i)),
                                byteSwap);
        FourRounds(abef, cdgh, w[i], i);
    }
    for (int group = 4; group < 16; ++group) {
        const __m128i next =
            NextWords(w[group % 4], w[(group + 1) % 4], w[(group + 2) % 4], w[(group + 3) % 4]);
        w[group % 4] = next;
        FourRounds(abef, cdgh, next, group);
    }
    abef = _mm_add_epi32(abef, abefBefore);
    cdgh = _mm_add_epi32(cdgh, cdghBefore);

    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[0]), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[4]), _mm_alignr_epi8(dchg, feba, 8));
}

}  // namespace quillon::sim
