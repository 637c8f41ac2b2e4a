#include "platform/kelvix/FrameTrace.hpp"

#include <atomic>

#include "platform/system/InputFile.hpp"
#include "platform/system/Utf8Path.hpp"

namespace kelvix {
namespace {

std::atomic<const quillon::sys::Clock*>& ChosenTraceClock() {
    static std::atomic<const quillon::sys::Clock*> clock{nullptr};
    return clock;
}

}  // namespace

void SetTraceClock(const quillon::sys::Clock* clock) {
    ChosenTraceClock() = clock;
}

const quillon::sys::Clock& TraceClock() {
    static const quillon::sys::SystemClock systemClock;
    const quillon::sys::Clock* chosen = ChosenTraceClock().load();
    return chosen != nullptr ? *chosen : systemClock;
}

FrameTrace::FrameTrace(const std::string& path, const quillon::sys::Clock& clock)
    : clock_(clock), error_(quillon::sys::OutputFileProblem(quillon::sys::PathFromUtf8(path))) {
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
    const double seconds = static_cast<double>(clock_.UnixTimeUs()) / 1e6;
    const std::string line = FormatTraceLine(frame, channel, direction, seconds);
    std::lock_guard lock(mutex_);
    file_ << line << '\n';
    file_.flush();
}

}  // namespace kelvix
