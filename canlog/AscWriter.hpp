// ASC text logs as AscReader reads them: the date line is the first frame's
// time to the millisecond below (UTC), each frame's time is counted from it,
// so every microsecond survives.
#pragma once

#include <cstdint>

#include "canlog/LogWriter.hpp"

namespace quillon::canlog {

class AscWriter : public LogWriter {
  public:
    std::string Write(const protocol::TimedFrame& frame, std::string& out) override;
    void Finish(std::string& out) override;

  private:
    void Header(std::int64_t firstUs, std::string& out);

    bool headerWritten_ = false;
    std::int64_t dateUs_ = 0;
};

}  // namespace quillon::canlog
