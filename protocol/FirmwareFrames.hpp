// The firmware upgrade's frames, both sides: the extended remote erase and
// program commands and the standard image data frames, all sent plain.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/kelvix/Kelvix.h"

namespace quillon::protocol {

inline constexpr std::size_t IMAGE_DATA_MAX_BYTES = 8;

CanFrameRecord BuildEraseCommand();
CanFrameRecord BuildProgramCommand();
/// `bytes` holds 0..8 image bytes, copied in order; DataLen is their count.
CanFrameRecord BuildImageDataFrame(std::span<const std::uint8_t> bytes);

bool IsEraseCommand(const CanFrameRecord& frame);
bool IsProgramCommand(const CanFrameRecord& frame);
/// A standard data frame with the image data identifier, whatever its length.
bool IsImageDataFrame(const CanFrameRecord& frame);

}  // namespace quillon::protocol
