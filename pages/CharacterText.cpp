#include "pages/CharacterText.hpp"

namespace quillon::pages {
namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;

// Length of the sequence a lead byte starts, 0 for a byte that cannot lead.
std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        return 2;
    }
    if ((lead & 0xF0) == 0xE0) {
        return 3;
    }
    if ((lead & 0xF8) == 0xF0) {
        return 4;
    }
    return 0;
}

// Decodes the sequence at `at`; sets `used` to the bytes it took.
char32_t DecodeAt(std::string_view utf8, std::size_t at, std::size_t& used) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    const std::size_t length = SequenceLength(lead);
    used = 1;
    if (length == 0 || at + length > utf8.size()) {
        return REPLACEMENT;
    }
    if (length == 1) {
        return lead;
    }
    char32_t value = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(utf8[at + i]);
        if ((next & 0xC0) != 0x80) {
            return REPLACEMENT;
        }
        value = (value << 6) | (next & 0x3F);
    }
    used = length;
    return value;
}

}  // namespace

std::u32string CodePoints(std::string_view utf8) {
    std::u32string points;
    std::size_t at = 0;
    while (at < utf8.size()) {
        std::size_t used = 1;
        points.push_back(DecodeAt(utf8, at, used));
        at += used;
    }
    return points;
}

std::size_t CharacterCount(std::string_view utf8) {
    return CodePoints(utf8).size();
}

std::string Latin1ToUtf8(std::string_view bytes) {
    std::string text;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text.push_back(c);
        } else {
            text.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            text.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
    return text;
}

}  // namespace quillon::pages
