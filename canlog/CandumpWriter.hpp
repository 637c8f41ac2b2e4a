// Candump log lines, as kelvix::FormatCandumpLine writes them, one a line.
#pragma once

#include "canlog/LogWriter.hpp"
#include "platform/kelvix/TraceLine.hpp"

namespace quillon::canlog {

class CandumpWriter : public LogWriter {
  public:
    explicit CandumpWriter(const ChannelNames& names) : names_(names) {}
    std::string Write(const protocol::TimedFrame& frame, std::string& out) override;
    void Finish(std::string&) override {}

  private:
    ChannelNames names_;
    kelvix::CandumpLineWriter lines_;
};

}  // namespace quillon::canlog
