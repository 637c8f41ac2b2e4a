#include "platform/kelvix/CanFrameBits.hpp"

#include <algorithm>
#include <array>

namespace kelvix {
namespace {

constexpr std::uint16_t CRC15_POLY = 0x4599;
constexpr std::uint32_t UNSTUFFED_TAIL_BITS = 1 + 1 + 1 + 7 + 3;
constexpr std::uint32_t STUFF_RUN = 5;
constexpr std::size_t MAX_STUFFED_REGION = 1 + 11 + 2 + 18 + 3 + 4 + 64 + 15;

// The bits from start of frame to the end of the CRC sequence, before stuffing.
class BitWriter {
  public:
    void Put(std::uint32_t value, unsigned count) {
        for (unsigned i = count; i-- > 0;) {
            bits_[size_++] = static_cast<std::uint8_t>((value >> i) & 1u);
        }
    }
    std::span<const std::uint8_t> Bits() const { return {bits_.data(), size_}; }

  private:
    std::array<std::uint8_t, MAX_STUFFED_REGION> bits_{};
    std::size_t size_ = 0;
};

void PutHeader(BitWriter& out, const CanFrameRecord& frame, std::uint32_t dlc) {
    const std::uint32_t rtr = frame.RemoteFlag != 0 ? 1 : 0;
    out.Put(0, 1);  // start of frame
    if (frame.ExternFlag != 0) {
        out.Put(frame.ID >> 18, 11);
        out.Put(0b11, 2);  // SRR, IDE: recessive
        out.Put(frame.ID & 0x3FFFF, 18);
        out.Put(rtr, 1);
        out.Put(0, 2);  // r1, r0
    } else {
        out.Put(frame.ID & 0x7FF, 11);
        out.Put(rtr, 1);
        out.Put(0, 2);  // IDE, r0
    }
    out.Put(dlc, 4);
}

std::uint32_t CountStuffBits(std::span<const std::uint8_t> bits) {
    std::uint32_t stuffed = 0;
    std::uint32_t run = 0;
    std::uint8_t last = 2;
    for (const std::uint8_t bit : bits) {
        run = bit == last ? run + 1 : 1;
        last = bit;
        if (run == STUFF_RUN) {
            ++stuffed;
            last = static_cast<std::uint8_t>(1 - bit);  // the stuff bit starts the next run
            run = 1;
        }
    }
    return stuffed;
}

}  // namespace

std::uint16_t CanCrc15(std::span<const std::uint8_t> bits) {
    std::uint16_t crc = 0;
    for (const std::uint8_t bit : bits) {
        const bool next = ((bit ^ (crc >> 14)) & 1u) != 0;
        crc = static_cast<std::uint16_t>((crc << 1) & 0x7FFF);
        if (next) {
            crc ^= CRC15_POLY;
        }
    }
    return crc;
}

FrameBits MeasureFrame(const CanFrameRecord& frame) {
    const std::uint32_t dlc = std::min<std::uint32_t>(frame.DataLen, 15);
    BitWriter writer;
    PutHeader(writer, frame, dlc);
    if (frame.RemoteFlag == 0) {
        for (std::uint32_t i = 0; i < std::min<std::uint32_t>(dlc, 8); ++i) {
            writer.Put(frame.Data[i], 8);
        }
    }
    FrameBits measured;
    measured.crc = CanCrc15(writer.Bits());
    writer.Put(measured.crc, 15);
    measured.stuffBits = CountStuffBits(writer.Bits());
    measured.lengthBits =
        static_cast<std::uint32_t>(writer.Bits().size()) + measured.stuffBits + UNSTUFFED_TAIL_BITS;
    return measured;
}

std::uint64_t ArbitrationRank(const CanFrameRecord& frame) {
    const std::uint64_t rtr = frame.RemoteFlag != 0 ? 1 : 0;
    if (frame.ExternFlag == 0) {
        // base, RTR, IDE = 0; nothing follows that could matter
        return (std::uint64_t{frame.ID & 0x7FF} << 21) | (rtr << 20);
    }
    const std::uint64_t base = (frame.ID >> 18) & 0x7FF;
    return (base << 21) | (1ull << 20) | (1ull << 19) | (std::uint64_t{frame.ID & 0x3FFFF} << 1) |
           rtr;
}

}  // namespace kelvix
