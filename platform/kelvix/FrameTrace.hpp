// A frame trace file: lines of TraceLine.hpp's format, appended as frames
// pass the adapter.
#pragma once

#include <cstdint>
#include <fstream>
#include <mutex>
#include <string>

#include "platform/kelvix/Kelvix.h"
#include "platform/kelvix/TraceLine.hpp"

namespace kelvix {

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
