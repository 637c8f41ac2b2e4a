#include "platform/kelvix/FrameTrace.hpp"

#include <chrono>
#include <cstdio>

#include "platform/system/InputFile.hpp"
#include "platform/system/Utf8Path.hpp"

namespace kelvix {

std::string FormatTraceLine(const CanFrameRecord& frame, std::uint32_t channel,
                            TraceDirection direction, double seconds) {
    char head[64];
    std::snprintf(head, sizeof(head), "(%.6f) can%u ", seconds, channel);
    std::string line(head);
    char id[16];
    if (frame.ExternFlag != 0) {
        std::snprintf(id, sizeof(id), "%08X#", frame.ID & 0x1FFFFFFFu);
    } else {
        std::snprintf(id, sizeof(id), "%03X#", frame.ID & 0x7FFu);
    }
    line += id;
    const unsigned length = frame.DataLen > 8 ? 8u : frame.DataLen;
    if (frame.RemoteFlag != 0) {
        line += 'R';
        if (length > 0) {
            line += std::to_string(length);
        }
    } else {
        char byte[4];
        for (unsigned i = 0; i < length; ++i) {
            std::snprintf(byte, sizeof(byte), "%02X", frame.Data[i]);
            line += byte;
        }
    }
    line += direction == TraceDirection::Transmitted ? " T" : " R";
    return line;
}

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
