// Which frame is which, for every frame on the bus: the identifiers that no
// single layout of ParameterFrames.hpp owns (debug text, DTU write, firmware
// upgrade), the rule for which frames cross the bus plain, and a short name
// for each frame, as the trace decoder shows it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/kelvix/Kelvix.h"

namespace quillon::protocol {

/// Debug text: the PC sends on the first; the device answers on all four,
/// the identifier's offset from the first being the message's level.
inline constexpr std::uint32_t ID_DEBUG_FIRST = 0xF0;
inline constexpr std::uint32_t ID_DEBUG_LAST = 0xF3;
/// The DTU write: standard frames from the first up to the closing last.
inline constexpr std::uint32_t ID_DTU_FIRST = 0x10;
inline constexpr std::uint32_t ID_DTU_LAST = 0x3F;
/// The firmware upgrade: extended remote commands and standard data frames.
inline constexpr std::uint32_t ID_ERASE_COMMAND = 1;
inline constexpr std::uint32_t ID_PROGRAM_COMMAND = 2;
inline constexpr std::uint32_t ID_IMAGE_DATA = 1;

/// True for a frame the PC sends without enciphering: the read request and
/// the firmware upgrade's frames (remote commands, image data). Every other
/// frame crosses the bus enciphered, in both directions.
bool SentPlain(const CanFrameRecord& frame);

/// What a frame is, e.g. "bridge rule 2 part 3" or "debug message level 1";
/// `fromPc` tells the PC's frames from the device's where one identifier
/// serves both ways.
std::string Describe(const CanFrameRecord& frame, bool fromPc);

}  // namespace quillon::protocol
