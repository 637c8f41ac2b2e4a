#include "protocol/Cpc1crypt.hpp"

#include <utility>

namespace quillon::protocol {

namespace {

// Per-call cipher state: the key as the stream mutates it plus the schedule registers.
struct CipherState {
    Cpc1crypt::Key workingKey{};
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

// One schedule round over the chained key word w; returns the next chain value.
std::uint16_t Round(CipherState& state, std::uint16_t w, std::uint16_t i) {
    std::uint16_t dx = Add(state.x1a2, i);
    std::uint16_t ax = w;
    std::uint16_t cx = 0x015A;
    const std::uint16_t bx = 0x4E35;
    std::swap(ax, state.si);
    std::swap(ax, dx);
    if (ax != 0) {
        ax = Mul(ax, bx);
    }
    std::swap(ax, cx);
    if (ax != 0) {
        ax = Mul(ax, state.si);
        cx = Add(ax, cx);
    }
    std::swap(ax, state.si);
    ax = Add(Mul(ax, bx), 1);
    dx = Add(cx, dx);
    state.x1a2 = dx;
    state.inter = static_cast<std::uint16_t>(state.inter ^ ax ^ dx);
    return ax;
}

void Assemble(CipherState& state) {
    state.inter = 0;
    std::uint16_t w = 0;
    for (std::uint16_t i = 0; i < 8; ++i) {
        const auto high = static_cast<std::uint16_t>(state.workingKey[2 * i] << 8);
        w = static_cast<std::uint16_t>(w ^ (high | state.workingKey[2 * i + 1]));
        w = Round(state, w, i);
    }
}

std::uint8_t KeyStreamByte(const CipherState& state) {
    return static_cast<std::uint8_t>((state.inter >> 8) ^ (state.inter & 0xFF));
}

// The plain byte feeds back into the key, which is what makes this a stream cipher.
void MixIntoKey(CipherState& state, std::uint8_t plain) {
    for (std::uint8_t& k : state.workingKey) {
        k = static_cast<std::uint8_t>(k ^ plain);
    }
}

}  // namespace

Cpc1crypt::Cpc1crypt(const Key& key) : storedKey(key) {}

void Cpc1crypt::EncipherPayload(std::span<std::uint8_t> bytes) const {
    CipherState state{storedKey};
    for (std::uint8_t& b : bytes) {
        Assemble(state);
        const std::uint8_t plain = b;
        MixIntoKey(state, plain);
        b = static_cast<std::uint8_t>(plain ^ KeyStreamByte(state));
    }
}

void Cpc1crypt::DecipherPayload(std::span<std::uint8_t> bytes) const {
    CipherState state{storedKey};
    for (std::uint8_t& b : bytes) {
        Assemble(state);
        const auto plain = static_cast<std::uint8_t>(b ^ KeyStreamByte(state));
        MixIntoKey(state, plain);
        b = plain;
    }
}

}  // namespace quillon::protocol
