// Frame trace in the candump log format, one frame per line, with the
// direction after it so that log readers can tell sent from received:
//   (1436509052.249713) can0 123#DEADBEEF T
//   (1436509052.250001) can1 00000201#R R
// Adapter channels 0 and 1 are named can0 and can1; extended identifiers are
// written with 8 hex digits, standard ones with 3.
#pragma once

#include <cstdint>
#include <fstream>
#include <mutex>
#include <string>

#include "platform/kelvix/Kelvix.h"

namespace kelvix {

enum class TraceDirection { Transmitted, Received };

/// One trace line without its newline; `seconds` is the wall-clock time.
std::string FormatTraceLine(const CanFrameRecord& frame, std::uint32_t channel,
                            TraceDirection direction, double seconds);

/// Appends trace lines to a file; thread-safe.
class FrameTrace {
  public:
    /// Opens `path` (UTF-8) for appending; IsOpen() tells whether that worked and
    /// Error() why not. Only a regular file (or a new one) is opened: a FIFO
    /// would block the open, a directory cannot hold lines.
    explicit FrameTrace(const std::string& path);
    bool IsOpen() const { return file_.is_open(); }
    const std::string& Error() const { return error_; }
    void Write(const CanFrameRecord& frame, std::uint32_t channel, TraceDirection direction);

  private:
    std::mutex mutex_;
    std::ofstream file_;
    std::string error_;
};

}  // namespace kelvix
