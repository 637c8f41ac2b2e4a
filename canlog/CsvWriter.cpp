#include "canlog/CsvWriter.hpp"

#include <cstdio>

#include "canlog/CsvFormat.hpp"
#include "canlog/TextFields.hpp"

namespace quillon::canlog {

void CsvWriter::Header(std::string& out) {
    if (!headerWritten_) {
        out += CSV_HEADER;
        out += '\n';
        headerWritten_ = true;
    }
}

std::string CsvWriter::Write(const protocol::TimedFrame& frame, std::string& out) {
    if (std::string problem = FrameProblem(frame); !problem.empty()) {
        return problem;
    }
    Header(out);
    out += FormatSecondsUs(frame.timeUs);
    out += frame.channel == 0 ? ",1," : ",2,";
    out += FormatIdentifier(frame.id, frame.extended);
    out += frame.extended ? ",1" : ",0";
    out += frame.remote ? ",1," : ",0,";
    out += std::to_string(frame.length);
    out += ',';
    char byte[4];
    for (std::size_t i = 0; i < frame.length && !frame.remote; ++i) {
        std::snprintf(byte, sizeof(byte), i == 0 ? "%02X" : " %02X", frame.data[i]);
        out += byte;
    }
    out += '\n';
    return {};
}

void CsvWriter::Finish(std::string& out) {
    Header(out);
}

}  // namespace quillon::canlog
