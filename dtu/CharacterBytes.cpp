#include "dtu/CharacterBytes.hpp"

#include <cassert>

#include "pages/CharacterText.hpp"

namespace quillon::dtu {

bool StoreLowBytes(std::u32string_view characters, std::span<std::uint8_t> out) {
    assert(characters.size() <= out.size());
    for (std::size_t i = 0; i < characters.size(); ++i) {
        out[i] = static_cast<std::uint8_t>(characters[i] & 0xFF);
        if (characters[i] > 0xFF) {
            return false;
        }
    }
    return true;
}

std::string StoredBytesText(std::span<const std::uint8_t> bytes) {
    return pages::Latin1ToUtf8(std::string(bytes.begin(), bytes.end()));
}

}  // namespace quillon::dtu
