#include "pages/BitPattern.hpp"

#include <cassert>
#include <string>

namespace quillon::pages {

int BitButtonId(int label) {
    assert(label >= 1 && label <= 29);
    switch (label) {
        case 1:
            return 1175;
        case 2:
            return 1174;
        default:
            return 1170 - label;
    }
}

std::string BitButtonCaption(int label, char stateCharacter) {
    return std::to_string(label) + "\r\n\r\n" + stateCharacter;
}

std::string FormatBitPattern(std::uint8_t format, std::uint32_t value, std::uint32_t mask) {
    const int bits = format == 0 ? 11 : 29;
    std::string text;
    for (int bit = bits - 1; bit >= 0; --bit) {
        const std::uint32_t flag = 1u << bit;
        if ((mask & flag) == 0) {
            text += "X ";
        } else {
            text += (value & flag) != 0 ? "1 " : "0 ";
        }
    }
    return text;
}

}  // namespace quillon::pages
