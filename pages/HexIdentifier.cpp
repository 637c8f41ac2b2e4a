#include "pages/HexIdentifier.hpp"

#include "pages/HexText.hpp"

#include <cstdio>
#include <string>

namespace quillon::pages {
std::optional<std::uint32_t> ParseHexText(std::string_view text) {
    const std::string padded = (text.size() % 2 != 0 ? "0" : "") + std::string(text);
    if (padded.size() > 8) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (std::size_t at = 0; at < padded.size(); at += 2) {
        const auto high = HexDigitValue(padded[at]);
        const auto low = HexDigitValue(padded[at + 1]);
        if (!high || !low) {
            return std::nullopt;
        }
        value = value * 256 + static_cast<std::uint32_t>((*high << 4) | *low);
    }
    return value;
}

std::string FormatHexLower(std::uint32_t value) {
    char text[12];
    std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(value));
    return text;
}

}  // namespace quillon::pages
