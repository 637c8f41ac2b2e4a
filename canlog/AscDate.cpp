#include "canlog/AscDate.hpp"

#include <array>
#include <cstdio>

#include "canlog/TextFields.hpp"

namespace quillon::canlog {
namespace {

constexpr std::array<std::string_view, 12> MONTHS = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<std::string_view, 7> WEEKDAYS = {"Thu", "Fri", "Sat", "Sun",
                                                      "Mon", "Tue", "Wed"};  // from 1970-01-01
constexpr std::int64_t DAY_US = 86400LL * 1000000;

// Days since 1970-01-01 of a date in the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct CivilDate {
    std::int64_t year;
    unsigned month;
    unsigned day;
};

CivilDate CivilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    const auto day = static_cast<unsigned>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    const auto month = static_cast<unsigned>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

// "HH:MM:SS" or "HH:MM:SS.mmm": microseconds since midnight (hour not yet 12-hour corrected).
std::optional<std::int64_t> ParseClock(std::string_view text, std::uint32_t& hour) {
    std::uint32_t minute = 0;
    std::uint32_t second = 0;
    std::uint32_t millis = 0;
    const auto dot = text.find('.');
    if (dot != std::string_view::npos &&
        (text.size() - dot - 1 != 3 || !ParseDecimal(text.substr(dot + 1), millis, 3))) {
        return std::nullopt;
    }
    text = text.substr(0, dot);
    if (text.size() < 7 || text.size() > 8 || text[text.size() - 3] != ':' ||
        text[text.size() - 6] != ':' || !ParseDecimal(text.substr(0, text.size() - 6), hour, 2) ||
        !ParseDecimal(text.substr(text.size() - 5, 2), minute, 2) ||
        !ParseDecimal(text.substr(text.size() - 2), second, 2) || hour > 23 || minute > 59 ||
        second > 59) {
        return std::nullopt;
    }
    return ((minute * 60LL + second) * 1000 + millis) * 1000;
}

}  // namespace

std::optional<std::int64_t> ParseAscDate(std::string_view words) {
    NextWord(words);  // the weekday
    const std::string_view monthName = NextWord(words);
    const std::string_view dayText = NextWord(words);
    const std::string_view clock = NextWord(words);
    std::string_view yearText = NextWord(words);
    const std::string_view meridiem = yearText;
    const bool twelveHour = meridiem == "am" || meridiem == "pm";
    if (twelveHour) {
        yearText = NextWord(words);
    }
    std::uint32_t month = 0;
    while (month < MONTHS.size() && MONTHS[month] != monthName) {
        ++month;
    }
    std::uint32_t day = 0;
    std::uint32_t year = 0;
    std::uint32_t hour = 0;
    const auto withinHour = ParseClock(clock, hour);
    if (month == MONTHS.size() || !ParseDecimal(dayText, day, 2) || day < 1 || day > 31 ||
        !ParseDecimal(yearText, year, 4) || !withinHour || !NextWord(words).empty() ||
        (twelveHour && (hour < 1 || hour > 12))) {
        return std::nullopt;
    }
    if (twelveHour) {
        hour = hour % 12 + (meridiem == "pm" ? 12 : 0);
    }
    return DaysFromCivil(year, month + 1, day) * DAY_US + hour * 3600LL * 1000000 + *withinHour;
}

std::string FormatAscDate(std::int64_t timeUs) {
    const std::int64_t days = timeUs / DAY_US;
    const std::int64_t withinDayMs = timeUs % DAY_US / 1000;
    const CivilDate date = CivilFromDays(days);
    const auto hour = static_cast<int>(withinDayMs / 3600000);
    char text[64];
    std::snprintf(text, sizeof(text), "%s %s %02u %02d:%02d:%02d.%03d %s %lld",
                  WEEKDAYS[static_cast<std::size_t>(days % 7)].data(),
                  MONTHS[date.month - 1].data(), date.day, hour % 12 == 0 ? 12 : hour % 12,
                  static_cast<int>(withinDayMs / 60000 % 60),
                  static_cast<int>(withinDayMs / 1000 % 60), static_cast<int>(withinDayMs % 1000),
                  hour < 12 ? "am" : "pm", static_cast<long long>(date.year));
    return text;
}

}  // namespace quillon::canlog
