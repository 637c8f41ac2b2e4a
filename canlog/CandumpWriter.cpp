#include "canlog/CandumpWriter.hpp"

#include "canlog/FrameRecord.hpp"
#include "canlog/TextFields.hpp"
#include "platform/kelvix/TraceLine.hpp"

namespace quillon::canlog {

std::string CandumpWriter::Write(const protocol::TimedFrame& frame, std::string& out) {
    if (std::string problem = FrameProblem(frame); !problem.empty()) {
        return problem;
    }
    lines_.Append(out, ToFrameRecord(frame), names_[frame.channel], frame.timeUs, "\n");
    return {};
}

}  // namespace quillon::canlog
