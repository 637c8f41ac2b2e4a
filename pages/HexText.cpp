#include "pages/HexText.hpp"

#include <optional>

namespace quillon::pages {
std::optional<std::uint8_t> HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return static_cast<std::uint8_t>(c - '0');
    }
    if (c >= 'A' && c <= 'F') {
        return static_cast<std::uint8_t>(c - 'A' + 10);
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<std::uint8_t>(c - 'a' + 10);
    }
    return std::nullopt;
}

namespace {

// The byte of the pair (first, second); a blank second character reads as "0first".
std::optional<std::uint8_t> PairValue(char first, char second) {
    if (second == ' ') {
        return HexDigitValue(first);
    }
    const auto high = HexDigitValue(first);
    const auto low = HexDigitValue(second);
    if (!high || !low) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>((*high << 4) | *low);
}

}  // namespace

std::vector<std::uint8_t> HexTextToBytes(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == ' ') {
            ++at;
            continue;
        }
        if (at + 1 >= text.size()) {
            break;  // a last character without a partner is dropped
        }
        const auto value = PairValue(text[at], text[at + 1]);
        if (!value) {
            break;
        }
        bytes.push_back(*value);
        at += 2;
    }
    return bytes;
}

std::string BytesToHexText(std::span<const std::uint8_t> bytes) {
    static constexpr char DIGITS[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::uint8_t byte : bytes) {
        text.push_back(DIGITS[byte >> 4]);
        text.push_back(DIGITS[byte & 0x0F]);
        text.push_back(' ');
    }
    return text;
}

}  // namespace quillon::pages
