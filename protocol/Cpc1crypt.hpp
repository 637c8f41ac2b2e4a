#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "protocol/FirmwareKey.hpp"

namespace quillon::protocol {

// Payload cipher of the configuration frames: the PC1 stream cipher with a 128-bit key
// (constants 0x4E35 and 0x015A). Every call starts again from the stored key, so each frame
// enciphers and deciphers on its own, whatever was processed before.
//
// Threading: the object never changes after construction; all working state lives in the
// call, so the UI thread may encipher while the receive thread deciphers with the same object.
class Cpc1crypt {
  public:
    using Key = std::array<std::uint8_t, 16>;
    /// The key as the eight big-endian 16-bit words the key schedule reads.
    using KeyWords = std::array<std::uint16_t, 8>;

    explicit Cpc1crypt(const Key& key = FIRMWARE_KEY);

    // Transform the bytes in place; the protocol passes a frame's eight data bytes whatever
    // its DataLen. An empty span is left as it is.
    void EncipherPayload(std::span<std::uint8_t> bytes) const;
    void DecipherPayload(std::span<std::uint8_t> bytes) const;

  private:
    /// The stored key, in the words the schedule reads.
    KeyWords storedKey_;
};

}  // namespace quillon::protocol
