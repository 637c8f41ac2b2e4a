#include "bittiming/BusTiming.hpp"

#include <cassert>

namespace quillon::bittiming {

BusTiming DecodeBtr(protocol::BtrEntry registers) {
    BusTiming timing;
    timing.jumpWidth = ((registers.btr0 >> 6) & 0x03) + 1;
    timing.prescaler = (registers.btr0 & 0x3F) + 1;
    timing.threeSamples = (registers.btr1 & 0x80) != 0;
    timing.tseg2 = ((registers.btr1 >> 4) & 0x07) + 1;
    timing.tseg1 = (registers.btr1 & 0x0F) + 1;
    return timing;
}

protocol::BtrEntry EncodeBtr(const BusTiming& timing) {
    assert(timing.prescaler >= 1 && timing.prescaler <= MAX_PRESCALER);
    assert(timing.jumpWidth >= 1 && timing.jumpWidth <= MAX_JUMP_WIDTH);
    assert(timing.tseg1 >= 1 && timing.tseg1 <= MAX_TSEG1);
    assert(timing.tseg2 >= 1 && timing.tseg2 <= MAX_TSEG2);
    const auto btr0 = ((timing.jumpWidth - 1) << 6) | (timing.prescaler - 1);
    const auto btr1 =
        (timing.threeSamples ? 0x80 : 0) | ((timing.tseg2 - 1) << 4) | (timing.tseg1 - 1);
    return {static_cast<std::uint8_t>(btr0), static_cast<std::uint8_t>(btr1)};
}

}  // namespace quillon::bittiming
