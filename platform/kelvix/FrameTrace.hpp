// A frame trace file: lines of TraceLine.hpp's format, appended as frames
// pass the adapter.
#pragma once

#include <cstdint>
#include <fstream>
#include <mutex>
#include <string>

#include "platform/kelvix/Kelvix.h"
#include "platform/kelvix/TraceLine.hpp"
#include "platform/system/Clock.hpp"

namespace kelvix {

/// Appends trace lines to a file; thread-safe.
class FrameTrace {
  public:
    /// Opens `path` (UTF-8) for appending; IsOpen() tells whether that worked and
    /// Error() why not. Only a regular file (or a new one) is opened: a FIFO
    /// would block the open, a directory cannot hold lines. Each line is
    /// stamped with `clock`'s Unix time, which must outlive the trace.
    FrameTrace(const std::string& path, const quillon::sys::Clock& clock);
    bool IsOpen() const { return file_.is_open(); }
    const std::string& Error() const { return error_; }
    void Write(const CanFrameRecord& frame, std::uint32_t channel, TraceDirection direction);

  private:
    const quillon::sys::Clock& clock_;
    std::mutex mutex_;
    std::ofstream file_;
    std::string error_;
};

/// Sets the clock that stamps the traces of adapters opened from now on (it
/// must outlive them); null restores the system's.
void SetTraceClock(const quillon::sys::Clock* clock);
/// The clock SetTraceClock chose, else the system's.
const quillon::sys::Clock& TraceClock();

}  // namespace kelvix
