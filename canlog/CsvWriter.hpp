// CSV logs in the columns of CsvFormat.hpp.
#pragma once

#include "canlog/LogWriter.hpp"

namespace quillon::canlog {

class CsvWriter : public LogWriter {
  public:
    std::string Write(const protocol::TimedFrame& frame, std::string& out) override;
    void Finish(std::string& out) override;

  private:
    void Header(std::string& out);

    bool headerWritten_ = false;
};

}  // namespace quillon::canlog
