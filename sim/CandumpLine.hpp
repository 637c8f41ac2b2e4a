// One frame as a line of the candump log format, both ways:
//   (1436509052.249713) can0 123#DEADBEEF
//   (1436509052.250001) can1 00000201#R
// The simulated device keeps its records in this format and quillon-cli
// simulate reads and writes it; the interface names stand for CAN1 and CAN2.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/TimedFrame.hpp"

namespace quillon::sim {

/// The interface names the device's own files use for CAN1 and CAN2.
inline const std::vector<std::string> DEVICE_CHANNEL_NAMES = {"can0", "can1"};

struct CandumpLine {
    enum class Kind { Frame, Blank, NoTimestamp, Malformed, UnknownInterface };
    Kind kind = Kind::Blank;
    protocol::TimedFrame frame;  ///< with Kind::Frame
    std::string interface;       ///< with Kind::UnknownInterface
};

/// Reads one line (a blank line or a '#' comment is Blank). `channels` names
/// CAN1 and CAN2; a frame whose interface is neither is UnknownInterface.
CandumpLine ParseCandumpLine(std::string_view line, const std::vector<std::string>& channels);

/// The line of `frame`, without its newline, its channel named by `channels`.
std::string FormatCandumpLine(const protocol::TimedFrame& frame,
                              const std::vector<std::string>& channels);

}  // namespace quillon::sim
