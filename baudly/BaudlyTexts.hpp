// The calculator's answers as the window words them.
#pragma once

#include <string>

#include "bittiming/TimingSearch.hpp"

namespace quillon::baudly {

/// Fixed texts of the window.
inline constexpr const char* BAUDLY_CAPTION = "波特率设置参考";
inline constexpr const char* BAD_RATE = "请输入波特率，如 500000、500k 或 1M!";
inline constexpr const char* BAD_SAMPLE_POINT = "采样点应为 0 到 100 之间的百分数，或不填!";
inline constexpr const char* BAD_REGISTERS = "BTR0 和 BTR1 应为一到两位十六进制数，如 01 和 1C!";
inline constexpr const char* NOTE_RECOMMENDED = "推荐";
inline constexpr const char* NOTE_NEAREST = "最接近";

/// "500000" (bit/s, whole).
std::string RateText(double bitRateBps);
/// "87.5%" for 0.875.
std::string SamplePointText(double fraction);
/// "+0.84%", signed, two decimals.
std::string ErrorText(double errorPercent);
/// "0x1C".
std::string RegisterText(std::uint8_t value);

/// The line above the pair list: how many pairs reach the rate, or the refusal
/// with the nearest reachable rates.
std::string SearchSummary(const bittiming::TimingSearch& search);

/// What a BTR0/BTR1 pair gives: rate, sample point and the fields behind them.
std::string PairSummary(protocol::BtrEntry registers);

/// The note of a listed pair: recommended, and which baud-rate list row it is.
std::string PairNote(protocol::BtrEntry registers, bool recommended);

}  // namespace quillon::baudly
