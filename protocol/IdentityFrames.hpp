// The short standard frames around a parameter read, both directions: the
// plain read request, the device's identity, version and system replies, its
// completion notice, and the storage initialisation request and its result.
// Frames are built plain with zeroed data; the caller enciphers.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "platform/kelvix/Kelvix.h"

namespace quillon::protocol {

using SerialNumber = std::array<std::uint8_t, 12>;

/// What the second identity frame carries: serial bytes 8..11 and the type code.
struct SerialHigh {
    std::array<std::uint8_t, 4> serialTail{};
    std::uint8_t deviceType = 0;

    bool operator==(const SerialHigh&) const = default;
};

/// Hardware and firmware version, 16 bits each.
struct Versions {
    std::uint16_t hardware = 0;
    std::uint16_t firmware = 0;

    bool operator==(const Versions&) const = default;
};

/// The device's system settings as it answers a read: the file size in MB
/// (one byte) and three switches, each on when non-zero.
struct SystemReply {
    std::uint8_t fileSizeMB = 0;
    std::uint8_t cyclicOverwrite = 0;
    std::uint8_t firstFrameTimeZero = 0;
    std::uint8_t errorProofing = 0;

    bool operator==(const SystemReply&) const = default;
};

/// Standard 6, d0 = 0xFF.
CanFrameRecord BuildReadRequest();
/// A standard frame 6 whose d0 is 0xFF.
bool IsReadRequest(const CanFrameRecord& frame);

/// Standard 0, d0 = 1: the device has sent everything of one channel.
CanFrameRecord BuildCompletionFrame();
/// A standard frame 0 whose d0 is 1 (other d0 values mean nothing).
bool IsCompletion(const CanFrameRecord& frame);

/// Standard 1: serial bytes 0..7.
CanFrameRecord BuildSerialLowFrame(const SerialNumber& serial);
std::array<std::uint8_t, 8> DecodeSerialLowFrame(const CanFrameRecord& frame);

/// Standard 2: serial bytes 8..11 in d0..d3, device type code in d4.
CanFrameRecord BuildSerialHighFrame(const SerialNumber& serial, std::uint8_t deviceType);
SerialHigh DecodeSerialHighFrame(const CanFrameRecord& frame);

/// Standard 3: hardware version in d0..d1, firmware version in d2..d3.
CanFrameRecord BuildVersionsFrame(const Versions& versions);
Versions DecodeVersionsFrame(const CanFrameRecord& frame);

/// Standard 4 from the device: d0 file size, d3 cyclic overwrite, d4 first
/// frame time zero, d5 error proofing.
CanFrameRecord BuildSystemReply(const SystemReply& reply);
SystemReply DecodeSystemReply(const CanFrameRecord& frame);

/// Standard 7, d0 = 0: initialise the memory card.
CanFrameRecord BuildStorageInitRequest();
/// Standard 7 from the device: d0 = 1 when the card was initialised.
CanFrameRecord BuildStorageInitReply(std::uint8_t result);
/// A standard frame 7 (an extended 7 is a parameter frame).
bool IsStorageInitFrame(const CanFrameRecord& frame);
bool StorageInitSucceeded(const CanFrameRecord& frame);

}  // namespace quillon::protocol
