// ASC text logs:
//
//   date Wed Dec 09 12:23:57.000 pm 2026
//   base hex  timestamps absolute
//   no internal events logged
//   Begin Triggerblock Wed Dec 09 12:23:57.000 pm 2026
//      0.000000 Start of measurement
//      0.001250 1  123             Rx   d 2 0A 0B
//      0.002500 2  1ABCDEF0x       Tx   r 8
//   End TriggerBlock
//
// A frame's time is the date line's (UTC; 0 without one) plus the line's
// seconds (accumulated with "timestamps relative"). Channel 1 is CAN1, 2 is
// CAN2; an 'x' after the identifier marks it extended; "base dec" gives
// identifiers and data in decimal. Lines with a time that carry no frame
// (events, statistics, error frames) are passed over; CAN FD frames and
// other channels are refused.
#pragma once

#include "canlog/LogReader.hpp"

namespace quillon::canlog {

class AscReader : public LogReader {
  public:
    AscReader(std::unique_ptr<LineSource> lines, std::string name);

  protected:
    LineKind ParseLine(std::string_view line, protocol::TimedFrame& frame,
                       std::string& problem) override;

  private:
    LineKind ParseHeader(std::string_view line, std::string& problem);
    LineKind ParseTimedLine(std::string_view line, protocol::TimedFrame& frame,
                            std::string& problem);
    bool ParseNumber(std::string_view text, std::uint32_t& value) const;

    std::int64_t dateUs_ = 0;
    std::int64_t lastUs_ = 0;  ///< the previous line's time, for relative times
    bool decimal_ = false;
    bool relative_ = false;
};

}  // namespace quillon::canlog
