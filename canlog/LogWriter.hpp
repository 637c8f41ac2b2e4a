// Log writers: each turns frames into the text of one format. They hold no
// file; the caller puts the text where it belongs (ConvertLog: a temporary
// file renamed into place).
#pragma once

#include <memory>
#include <string>

#include "canlog/LogFormat.hpp"
#include "canlog/LogReader.hpp"
#include "protocol/TimedFrame.hpp"

namespace quillon::canlog {

class LogWriter {
  public:
    virtual ~LogWriter() = default;
    /// Appends `frame`'s line (and, before the first, the format's header) to
    /// `out`. Empty, or why the format cannot hold the frame (nothing appended).
    virtual std::string Write(const protocol::TimedFrame& frame, std::string& out) = 0;
    /// Appends what ends the log (the header too when no frame came).
    virtual void Finish(std::string& out) = 0;
};

/// A writer of `format`; candump logs name channels 0 and 1 by `names`.
std::unique_ptr<LogWriter> MakeLogWriter(LogFormat format,
                                         const ChannelNames& names = DEFAULT_CHANNEL_NAMES);

}  // namespace quillon::canlog
