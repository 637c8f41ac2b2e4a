// Candump logs, read through the one candump line parser of the program
// (kelvix::ParseCandumpLine); interfaces are mapped to channels by name.
#pragma once

#include "canlog/LogReader.hpp"

namespace quillon::canlog {

class CandumpReader final : public LogReader {
  public:
    CandumpReader(std::unique_ptr<LineSource> lines, std::string name, const ChannelNames& names);

    bool Next(protocol::TimedFrame& frame) override;

  protected:
    LineKind ParseLine(std::string_view line, protocol::TimedFrame& frame,
                       std::string& problem) override;

  private:
    ChannelNames names_;
};

}  // namespace quillon::canlog
