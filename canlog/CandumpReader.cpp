#include "canlog/CandumpReader.hpp"

#include "canlog/FrameRecord.hpp"
#include "platform/kelvix/TraceLine.hpp"

namespace quillon::canlog {

CandumpReader::CandumpReader(std::unique_ptr<LineSource> lines, std::string name,
                             const ChannelNames& names)
    : LogReader(std::move(lines), std::move(name)), names_(names) {}

bool CandumpReader::Next(protocol::TimedFrame& frame) {
    return NextWith(
        frame, [this](std::string_view line, protocol::TimedFrame& parsed, std::string& problem) {
            return CandumpReader::ParseLine(line, parsed, problem);
        });
}

LineKind CandumpReader::ParseLine(std::string_view line, protocol::TimedFrame& frame,
                                  std::string& problem) {
    const kelvix::CandumpLine parsed = kelvix::ParseCandumpLine(line);
    if (parsed.verdict == kelvix::CandumpVerdict::Ignored) {
        return LineKind::Other;
    }
    if (parsed.verdict == kelvix::CandumpVerdict::Malformed) {
        problem = std::string("not a candump line: ") + parsed.problem;
        return LineKind::Bad;
    }
    if (const int channel = ChannelOfName(names_, parsed.interfaceName); channel >= 0) {
        ToTimedFrame(parsed.frame, channel, parsed.timeUs, frame);
        return LineKind::Frame;
    }
    problem = "interface " + std::string(parsed.interfaceName) + " is not one of the channels " +
              names_[0] + "," + names_[1];
    return LineKind::Bad;
}

}  // namespace quillon::canlog
