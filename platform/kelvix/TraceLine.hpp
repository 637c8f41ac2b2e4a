// One line of a frame trace, in the candump log format with the direction
// after it so that log readers can tell sent from received:
//   (1436509052.249713) can0 123#DEADBEEF T
//   (1436509052.250001) can1 00000201#R R
// Adapter channels 0 and 1 are named can0 and can1; extended identifiers are
// written with 8 hex digits, standard ones with 3. The writer and the reader
// of the format live here together. Candump logs from elsewhere name any
// interface (vcan0, can1, ...) and have no direction word; ParseCandumpLine
// takes them apart with the exact time, and says what is wrong with a line.
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

enum class CandumpVerdict {
    Frame,      ///< a frame line
    Ignored,    ///< a blank line or a '#' comment
    Malformed,  ///< anything else; `problem` says what is wrong
};

/// One candump log line taken apart. `interfaceName` points into the parsed text.
struct CandumpLine {
    CandumpVerdict verdict = CandumpVerdict::Ignored;
    const char* problem = "";  ///< for Malformed, e.g. "odd number of data digits"
    std::int64_t timeUs = 0;   ///< the stamp in microseconds, exactly as written
    std::string_view interfaceName;
    CanFrameRecord frame{};
    bool hasDirection = false;  ///< a 'T' or 'R' word followed the frame
    TraceDirection direction = TraceDirection::Received;
};

/// Parses `(SECONDS.FRACTION) IFACE ID#DATA [T|R]`: the fraction has at most
/// 6 digits, ID 3 hex digits (standard, at most 7FF) or 8 (extended, at most
/// 1FFFFFFF), DATA 0..8 bytes in hex or R with an optional length digit. A
/// trailing CR is ignored. CAN FD frames (`##`) are refused.
CandumpLine ParseCandumpLine(std::string_view line);

/// The candump log line of `frame` seen on `interfaceName` at `timeUs` (not
/// negative), without a direction word: `(1436509052.249713) can0 123#DEADBEEF`.
std::string FormatCandumpLine(const CanFrameRecord& frame, std::string_view interfaceName,
                              std::int64_t timeUs);

/// FormatCandumpLine's text and then `lineEnd` appended to `out`.
void AppendCandumpLine(std::string& out, const CanFrameRecord& frame,
                       std::string_view interfaceName, std::int64_t timeUs,
                       std::string_view lineEnd = {});

/// Writes the lines of a long log into one reused buffer, as AppendCandumpLine
/// does. It keeps the text of the last stamp's whole seconds, which a log's
/// lines mostly share: writing them out costs more than the rest of the line.
class CandumpLineWriter {
  public:
    void Append(std::string& out, const CanFrameRecord& frame, std::string_view interfaceName,
                std::int64_t timeUs, std::string_view lineEnd = {});

  private:
    static constexpr std::size_t SECONDS_TEXT_MAX = 24;  ///< "(-", 20 digits, "."

    std::uint64_t seconds_ = 0;
    bool negative_ = false;
    std::size_t secondsLength_ = 0;  ///< 0 until the first line
    char secondsText_[SECONDS_TEXT_MAX] = {};
};

/// Parses one trace line (a missing direction means received); nothing for
/// blank lines, comments, malformed lines or an interface not named canN.
std::optional<TracedFrame> ParseTraceLine(std::string_view line);

}  // namespace kelvix
