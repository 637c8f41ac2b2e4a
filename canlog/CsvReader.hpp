// CSV logs in the columns of CsvFormat.hpp. The reader is strict: the header
// must be the first line, and each row has every column in its own form.
#pragma once

#include "canlog/LogReader.hpp"

namespace quillon::canlog {

class CsvReader : public LogReader {
  public:
    CsvReader(std::unique_ptr<LineSource> lines, std::string name);

  protected:
    LineKind ParseLine(std::string_view line, protocol::TimedFrame& frame,
                       std::string& problem) override;

  private:
    bool headerSeen_ = false;
};

}  // namespace quillon::canlog
