// The date line of an ASC log, which gives the time its frame times count
// from: `date Wed Dec 09 12:23:57.000 pm 2026`. Read and written as UTC, with
// 12-hour (am/pm) or 24-hour clocks and optional milliseconds; the weekday is
// written but not checked.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillon::canlog {

/// The Unix time in microseconds of the words after "date"; nothing when they
/// are not WEEKDAY MONTH DAY HH:MM:SS[.mmm] [am|pm] YEAR with English names.
std::optional<std::int64_t> ParseAscDate(std::string_view words);
/// "Wed Dec 09 12:23:57.000 pm 2026" for `timeUs`, which must be a whole
/// number of milliseconds since 1970 (what a date line can hold).
std::string FormatAscDate(std::int64_t timeUs);

}  // namespace quillon::canlog
