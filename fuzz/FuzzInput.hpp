// Reads a fuzzer's bytes as a sequence of small values; past the end every
// read yields zeros, so a harness never has to check the length itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/kelvix/Kelvix.h"

namespace quillon::fuzz {

class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {}

    bool Empty() const { return offset_ >= bytes_.size(); }
    std::size_t Remaining() const { return Empty() ? 0 : bytes_.size() - offset_; }

    std::uint8_t Byte() { return Empty() ? 0 : bytes_[offset_++]; }
    std::uint16_t U16() { return static_cast<std::uint16_t>(Byte() | Byte() << 8); }
    std::uint32_t U32() { return U16() | static_cast<std::uint32_t>(U16()) << 16; }

    /// Up to `count` bytes, fewer at the end.
    std::span<const std::uint8_t> Take(std::size_t count) {
        const std::size_t n = count < Remaining() ? count : Remaining();
        const auto taken = bytes_.subspan(offset_, n);
        offset_ += n;
        return taken;
    }
    /// A string of length given by the next byte (at most `limit`).
    std::string Text(std::size_t limit) {
        const auto taken = Take(Byte() % (limit + 1));
        return {taken.begin(), taken.end()};
    }

    /// One CAN frame: identifier, flags (extended, remote), any DataLen (also
    /// above 8, as a broken adapter might report) and eight data bytes.
    CanFrameRecord Frame() {
        CanFrameRecord frame{};
        const std::uint8_t flags = Byte();
        frame.ID = flags & 0x80 ? U32() & 0x1FFFFFFFu : U16() & 0x7FFu;
        frame.ExternFlag = flags & 0x80 ? 1 : 0;
        frame.RemoteFlag = flags & 0x40 ? 1 : 0;
        frame.DataLen = static_cast<std::uint8_t>(flags & 0x0F);
        const auto data = Take(8);
        for (std::size_t i = 0; i < data.size(); ++i) {
            frame.Data[i] = data[i];
        }
        return frame;
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t offset_ = 0;
};

}  // namespace quillon::fuzz
