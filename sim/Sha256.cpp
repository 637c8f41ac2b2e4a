// What every platform's SHA-256 shares: the digest's text and the one-shot hash.
#include "sim/Sha256.hpp"

namespace quillon::sim {

std::string Sha256::Hex(const Digest& digest) {
    static constexpr char DIGITS[] = "0123456789abcdef";
    std::string text;
    text.reserve(digest.size() * 2);
    for (std::uint8_t byte : digest) {
        text.push_back(DIGITS[byte >> 4]);
        text.push_back(DIGITS[byte & 0x0F]);
    }
    return text;
}

std::string Sha256::HexOf(std::span<const std::uint8_t> bytes) {
    Sha256 hash;
    hash.Update(bytes);
    return Hex(hash.Finish());
}

}  // namespace quillon::sim
