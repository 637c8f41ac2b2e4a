// One line of a frame trace, in the candump log format with the direction
// after it so that log readers can tell sent from received:
//   (1436509052.249713) can0 123#DEADBEEF T
//   (1436509052.250001) can1 00000201#R R
// Adapter channels 0 and 1 are named can0 and can1; extended identifiers are
// written with 8 hex digits, standard ones with 3. The writer and the reader
// of the format live here together.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/kelvix/Kelvix.h"

namespace kelvix {

enum class TraceDirection { Transmitted, Received };

/// 'T' for a frame the PC sent, 'R' for one it received.
inline char DirectionLetter(TraceDirection direction) {
    return direction == TraceDirection::Transmitted ? 'T' : 'R';
}

struct TracedFrame {
    std::uint32_t channel = 0;
    CanFrameRecord frame{};
    TraceDirection direction = TraceDirection::Received;
};

/// One trace line without its newline; `seconds` is the wall-clock time.
std::string FormatTraceLine(const CanFrameRecord& frame, std::uint32_t channel,
                            TraceDirection direction, double seconds);

/// Parses one trace line (a missing direction means received); nothing for
/// blank lines, comments or malformed lines.
std::optional<TracedFrame> ParseTraceLine(std::string_view line);

}  // namespace kelvix
