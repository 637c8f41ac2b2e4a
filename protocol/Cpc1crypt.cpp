#include "protocol/Cpc1crypt.hpp"

#include <utility>

namespace quillon::protocol {

namespace {

// Per-call cipher state. Every plain byte is XORed into every byte of the
// working key, so the working key is the stored key XOR the running XOR of
// the plain bytes so far: that one byte is all the state the key needs.
struct CipherState {
    std::uint8_t plainMix = 0;
    std::uint16_t si = 0;
    std::uint16_t x1a2 = 0;
    std::uint16_t inter = 0;
};

// 16-bit products and sums wrap modulo 65536; widen first so the int promotion never overflows.
std::uint16_t Mul(std::uint16_t a, std::uint16_t b) {
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(a) * b);
}

std::uint16_t Add(std::uint16_t a, std::uint16_t b) {
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(a) + b);
}

constexpr std::uint16_t MULTIPLIER = 0x4E35;
constexpr std::uint16_t SI_FACTOR = 0x015A;

// One schedule round over the chained key word w; returns the next chain value.
// The register moves of the round (dx = x1a2 + i, ax = w, cx = 0x015A; swap ax
// and si, swap ax and dx; ax *= bx unless 0; swap ax and cx; ax *= si and
// cx += ax; swap ax and si; ax = ax * bx + 1; dx += cx) come to the three
// products below; a zero factor gives the zero product the skipped multiply
// leaves.
std::uint16_t Round(CipherState& state, std::uint16_t w, std::uint16_t i) {
    const std::uint16_t previousSi = state.si;
    state.si = Mul(w, SI_FACTOR);
    const std::uint16_t ax = Add(Mul(w, MULTIPLIER), 1);
    const std::uint16_t dx = Add(Add(state.si, Mul(Add(state.x1a2, i), MULTIPLIER)), previousSi);
    state.x1a2 = dx;
    state.inter = static_cast<std::uint16_t>(state.inter ^ ax ^ dx);
    return ax;
}

void Assemble(CipherState& state, const Cpc1crypt::KeyWords& keyWords) {
    state.inter = 0;
    const auto mix = static_cast<std::uint16_t>(state.plainMix * 0x0101);
    std::uint16_t w = 0;
    for (std::uint16_t i = 0; i < 8; ++i) {
        w = static_cast<std::uint16_t>(w ^ keyWords[i] ^ mix);
        w = Round(state, w, i);
    }
}

std::uint8_t KeyStreamByte(const CipherState& state) {
    return static_cast<std::uint8_t>((state.inter >> 8) ^ (state.inter & 0xFF));
}

// The plain byte feeds back into the key, which is what makes this a stream cipher.
void MixIntoKey(CipherState& state, std::uint8_t plain) {
    state.plainMix = static_cast<std::uint8_t>(state.plainMix ^ plain);
}

// Key bytes 2i and 2i+1 as the big-endian word the schedule takes.
Cpc1crypt::KeyWords WordsOf(const Cpc1crypt::Key& key) {
    Cpc1crypt::KeyWords words{};
    for (std::size_t i = 0; i < words.size(); ++i) {
        words[i] = static_cast<std::uint16_t>((key[2 * i] << 8) | key[2 * i + 1]);
    }
    return words;
}

}  // namespace

Cpc1crypt::Cpc1crypt(const Key& key) : storedKey_(WordsOf(key)) {}

void Cpc1crypt::EncipherPayload(std::span<std::uint8_t> bytes) const {
    CipherState state;
    for (std::uint8_t& b : bytes) {
        Assemble(state, storedKey_);
        const std::uint8_t plain = b;
        MixIntoKey(state, plain);
        b = static_cast<std::uint8_t>(plain ^ KeyStreamByte(state));
    }
}

void Cpc1crypt::DecipherPayload(std::span<std::uint8_t> bytes) const {
    CipherState state;
    for (std::uint8_t& b : bytes) {
        Assemble(state, storedKey_);
        const auto plain = static_cast<std::uint8_t>(b ^ KeyStreamByte(state));
        MixIntoKey(state, plain);
        b = plain;
    }
}

}  // namespace quillon::protocol
