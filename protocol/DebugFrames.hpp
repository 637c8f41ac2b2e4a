// Debug text frames: up to eight bytes of text each. The PC sends on the
// first debug identifier; the device answers on all four, the offset of the
// identifier from the first being the message's level.
#pragma once

#include <cstdint>
#include <span>

#include "platform/kelvix/Kelvix.h"

namespace quillon::protocol {

inline constexpr std::size_t DEBUG_FRAME_BYTES = 8;

/// Standard ID_DEBUG_FIRST + level with `bytes` (at most 8) as its data.
CanFrameRecord BuildDebugFrame(std::uint32_t level, std::span<const std::uint8_t> bytes);
/// A standard frame with one of the four debug identifiers.
bool IsDebugFrame(const CanFrameRecord& frame);
/// The level (0..3) of a debug frame.
std::uint32_t DebugLevel(const CanFrameRecord& frame);
/// The text bytes of a debug frame: DataLen of them, never more than 8.
std::span<const std::uint8_t> DebugBytes(const CanFrameRecord& frame);

}  // namespace quillon::protocol
