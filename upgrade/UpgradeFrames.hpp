// The three frames of a firmware upgrade and how they reach the adapter.
//
// Upgrade frames travel plain: no cipher, no sequence number, no checksum.
// They always go to adapter KELVIX_DEVICE_TYPE, index 0, channel 0, whichever
// adapter the user connected, because the device's boot loader listens there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/kelvix/Kelvix.h"
#include "protocol/FirmwareFrames.hpp"

namespace quillon::upgrade {

inline constexpr std::uint32_t UPGRADE_DEVICE_INDEX = 0;
inline constexpr std::uint32_t UPGRADE_CHANNEL = 0;

inline constexpr std::size_t MAX_FRAME_BYTES = protocol::IMAGE_DATA_MAX_BYTES;

/// Extended remote frames: erase the flash, start programming.
CanFrameRecord MakeEraseCommand();
CanFrameRecord MakeProgramCommand();
/// `bytes` holds 0..8 image bytes, copied in order.
CanFrameRecord MakeImageDataFrame(std::span<const std::uint8_t> bytes);

/// Sends one frame to (KELVIX_DEVICE_TYPE, 0, 0); true only when the library accepted exactly one.
bool TransmitUpgradeFrame(const CanFrameRecord& frame);

}  // namespace quillon::upgrade
