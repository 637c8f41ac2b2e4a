// The logs `simulate` reads and writes: the candump log format, one frame a line,
//   (1436509052.249713) can0 123#DEADBEEF
//   (1436509052.250001) can1 00000201#R
// with the interface names of --channels standing for CAN1 and CAN2. This file
// is where simulate meets its log formats: readers of other formats join here.
#pragma once

#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "behaviour/ReplayPlayer.hpp"
#include "protocol/TimedFrame.hpp"

namespace quillon::cli {

/// Reads one log a frame at a time, so memory does not grow with its length.
class SimulateLogReader final : public behaviour::FrameReader {
  public:
    /// Opens `file` (UTF-8) whose interfaces are `channels` (CAN1's name first);
    /// nothing, with `why` naming the file, when it is no regular file that opens.
    static std::unique_ptr<SimulateLogReader> Open(const std::string& file,
                                                   const std::vector<std::string>& channels,
                                                   std::string& why);

    /// The next frame; nothing at the end of the log, or at a line that is no
    /// frame of the format (then Problem() says which and why).
    std::optional<protocol::TimedFrame> Next() override;

    /// Empty, or "bus.log:7: malformed frame line" / "bus.log:3: interface can5 is
    /// not in --channels (can0,can1)" / "bus.log:1: not a candump log".
    const std::string& Problem() const { return problem_; }

  private:
    SimulateLogReader(std::string file, std::vector<std::string> channels, std::ifstream stream);
    std::string ChannelList() const;
    void Fail(const std::string& what);

    std::string file_;
    std::vector<std::string> channels_;
    std::ifstream stream_;
    std::string line_;
    std::size_t number_ = 0;
    bool sawFrame_ = false;
    std::string problem_;
};

/// One candump log line for `frame`, without its newline, its channel named by `channels`.
std::string SimulateLogLine(const protocol::TimedFrame& frame,
                            const std::vector<std::string>& channels);

}  // namespace quillon::cli
