#include "protocol/BlockChecksum.hpp"

namespace quillon::protocol {

std::uint8_t BlockChecksum(std::span<const std::uint8_t> bytes) {
    std::uint8_t sum = 0;
    for (std::uint8_t b : bytes) {
        sum = static_cast<std::uint8_t>(sum + b);
    }
    return static_cast<std::uint8_t>(~sum);
}

bool SectionChecksumMatches(std::span<const std::uint8_t> section) {
    return !section.empty() && section[0] == BlockChecksum(section.subspan(1));
}

}  // namespace quillon::protocol
