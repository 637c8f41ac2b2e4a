// The logs simulate reads and writes, through canlog: candump, ASC or CSV in
// (told by their content), candump out, the interface names of --channels
// standing for CAN1 and CAN2.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "behaviour/ReplayPlayer.hpp"
#include "canlog/ChannelNames.hpp"
#include "canlog/LogReader.hpp"
#include "protocol/TimedFrame.hpp"

namespace quillon::cli {

/// Reads one log a frame at a time, so memory does not grow with its length.
class SimulateLogReader final : public behaviour::FrameReader {
  public:
    /// Opens `file` (UTF-8); nothing, with `why` naming the file, when it
    /// cannot be read or its format cannot be told.
    static std::unique_ptr<SimulateLogReader> Open(const std::string& file,
                                                   const canlog::ChannelNames& channels,
                                                   std::string& why);

    /// The next frame; nothing at the end of the log, or at a line that cannot
    /// be read (then Problem() names the file and line).
    std::optional<protocol::TimedFrame> Next() override;
    /// The next frame into `frame`; false where Next() gives nothing.
    bool Next(protocol::TimedFrame& frame) { return reader_->Next(frame); }
    const std::string& Problem() const { return reader_->Error(); }

  private:
    explicit SimulateLogReader(std::unique_ptr<canlog::LogReader> reader)
        : reader_(std::move(reader)) {}

    std::unique_ptr<canlog::LogReader> reader_;
};

}  // namespace quillon::cli
