#include "canlog/AscWriter.hpp"

#include <cstdio>

#include "canlog/AscDate.hpp"
#include "canlog/TextFields.hpp"

namespace quillon::canlog {

void AscWriter::Header(std::int64_t firstUs, std::string& out) {
    if (headerWritten_) {
        return;
    }
    headerWritten_ = true;
    dateUs_ = firstUs - firstUs % 1000;
    const std::string date = FormatAscDate(dateUs_);
    out += "date " + date + "\n";
    out += "base hex  timestamps absolute\n";
    out += "no internal events logged\n";
    out += "Begin Triggerblock " + date + "\n";
    out += "   0.000000 Start of measurement\n";
}

std::string AscWriter::Write(const protocol::TimedFrame& frame, std::string& out) {
    if (std::string problem = FrameProblem(frame); !problem.empty()) {
        return problem;
    }
    Header(frame.timeUs, out);
    char id[16];
    std::snprintf(id, sizeof(id), frame.extended ? "%Xx" : "%X", frame.id);
    char head[96];
    std::snprintf(head, sizeof(head), "   %s %d  %-15s Rx   %c %u",
                  FormatSecondsUs(frame.timeUs - dateUs_).c_str(), frame.channel + 1, id,
                  frame.remote ? 'r' : 'd', static_cast<unsigned>(frame.length));
    out += head;
    char byte[4];
    for (std::size_t i = 0; i < frame.length && !frame.remote; ++i) {
        std::snprintf(byte, sizeof(byte), " %02X", frame.data[i]);
        out += byte;
    }
    out += '\n';
    return {};
}

void AscWriter::Finish(std::string& out) {
    Header(0, out);
    out += "End TriggerBlock\n";
}

}  // namespace quillon::canlog
