#include <gtest/gtest.h>

#include "canlog/AscDate.hpp"

namespace quillon::canlog {
namespace {

// Unix times worked out by hand from the calendar.
TEST(AscDateTest, DatesReadAsUtc) {
    struct Row {
        const char* name;
        const char* words;
        std::optional<std::int64_t> timeUs;
    };
    const Row rows[] = {
        {"afternoon", "Wed Dec 09 12:23:57.000 pm 2026", 1796819037000000},
        {"just past midnight", "Wed Dec 9 12:05:01.250 am 2026", 1796774701250000},
        {"24-hour clock", "Wed Dec 09 00:05:01 2026", 1796774701000000},
        {"leap day", "Tue Feb 29 11:59:59.999 pm 2000", 951868799999000},
        {"epoch", "Thu Jan 01 12:00:00.000 am 1970", 0},
        {"weekday not checked", "Mon Jul 10 06:17:32 am 2015", 1436509052000000},
        {"German month", "Mi Dez 09 12:23:57.000 pm 2026", std::nullopt},
        {"hour 13 with pm", "Wed Dec 09 13:23:57 pm 2026", std::nullopt},
        {"hour 0 with am", "Wed Dec 09 00:23:57 am 2026", std::nullopt},
        {"minute 60", "Wed Dec 09 12:60:57 2026", std::nullopt},
        {"two-digit milliseconds", "Wed Dec 09 12:23:57.00 2026", std::nullopt},
        {"no year", "Wed Dec 09 12:23:57", std::nullopt},
        {"trailing word", "Wed Dec 09 12:23:57 2026 x", std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ParseAscDate(row.words), row.timeUs) << row.name;
    }
}

TEST(AscDateTest, DatesWrittenAsTheyAreRead) {
    struct Row {
        const char* name;
        std::int64_t timeUs;
        const char* words;
    };
    const Row rows[] = {
        {"afternoon", 1796819037000000, "Wed Dec 09 12:23:57.000 pm 2026"},
        {"noon hour", 1796817600123000, "Wed Dec 09 12:00:00.123 pm 2026"},
        {"midnight hour", 1796774701250000, "Wed Dec 09 12:05:01.250 am 2026"},
        {"leap day", 951868799999000, "Tue Feb 29 11:59:59.999 pm 2000"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FormatAscDate(row.timeUs), row.words) << row.name;
        EXPECT_EQ(ParseAscDate(row.words), row.timeUs) << row.name;
    }
}

}  // namespace
}  // namespace quillon::canlog
