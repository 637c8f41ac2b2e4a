// Small parsers and printers of the fields the text log formats share.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/TimedFrame.hpp"

namespace quillon::canlog {

/// "SECONDS[.FRACTION]" with at most 6 fraction digits, optionally after '-'
/// when `allowNegative`: the exact microseconds. False for anything else.
bool ParseSecondsUs(std::string_view text, std::int64_t& timeUs, bool allowNegative = false);
/// `timeUs` as "SECONDS.FRACTION" with 6 fraction digits ('-' before a negative time).
std::string FormatSecondsUs(std::int64_t timeUs);
/// 1..8 hexadecimal digits, nothing else.
bool ParseHex32(std::string_view text, std::uint32_t& value);
/// 1..`maxDigits` decimal digits, nothing else.
bool ParseDecimal(std::string_view text, std::uint32_t& value, std::size_t maxDigits = 9);
/// The frame's identifier as candump writes it: 8 hex digits extended, 3 standard.
std::string FormatIdentifier(std::uint32_t id, bool extended);
/// The word at the start of `rest` (after blanks and tabs), which it then leaves.
std::string_view NextWord(std::string_view& rest);

/// Empty when `id` fits its format (standard at most 7FF, extended at most
/// 1FFFFFFF), else what is wrong.
std::string_view IdentifierProblem(std::uint32_t id, bool extended);
/// Empty when a log can hold `frame`: channel 0 or 1, length 0..8, an
/// identifier that fits its format, a time not before 1970. Else what is wrong.
std::string FrameProblem(const protocol::TimedFrame& frame);

}  // namespace quillon::canlog
