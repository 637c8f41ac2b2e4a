#include "platform/kelvix/FrameTrace.hpp"

#include <chrono>

#include "platform/system/InputFile.hpp"
#include "platform/system/Utf8Path.hpp"

namespace kelvix {

FrameTrace::FrameTrace(const std::string& path)
    : error_(quillon::sys::OutputFileProblem(quillon::sys::PathFromUtf8(path))) {
    if (!error_.empty()) {
        return;
    }
    // Binary: lines end in LF on every system, as candump writes them.
    file_.open(quillon::sys::PathFromUtf8(path), std::ios::app | std::ios::binary);
    if (!file_.is_open()) {
        error_ = "cannot open " + path + " for appending";
    }
}

void FrameTrace::Write(const CanFrameRecord& frame, std::uint32_t channel,
                       TraceDirection direction) {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const double seconds = std::chrono::duration<double>(now).count();
    const std::string line = FormatTraceLine(frame, channel, direction, seconds);
    std::lock_guard lock(mutex_);
    file_ << line << '\n';
    file_.flush();
}

}  // namespace kelvix
