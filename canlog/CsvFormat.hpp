// The CSV log: one header line, then one frame a line.
//
//   time,channel,id,extended,remote,length,data
//   1436509052.249713,1,123,0,0,4,DE AD BE EF
//   1436509052.250001,2,1ABCDEF0,1,1,8,
//
// time     Unix seconds with exactly 6 decimals (microseconds)
// channel  1 (CAN1) or 2 (CAN2)
// id       hexadecimal: 3 digits for a standard identifier, 8 for an extended one
// extended 1 for an extended identifier, else 0
// remote   1 for a remote frame, else 0
// length   0..8 (a remote frame's requested length)
// data     the data bytes in hexadecimal, one space between them; empty for a remote frame
#pragma once

#include <string_view>

namespace quillon::canlog {

inline constexpr std::string_view CSV_HEADER = "time,channel,id,extended,remote,length,data";

}  // namespace quillon::canlog
