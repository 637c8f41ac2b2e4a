#include <gtest/gtest.h>

#include "canlog/LogFormat.hpp"

namespace quillon::canlog {
namespace {

TEST(LogFormatTest, NamesAndExtensions) {
    for (const LogFormat format :
         {LogFormat::Candump, LogFormat::Asc, LogFormat::Csv, LogFormat::Recorder}) {
        EXPECT_EQ(LogFormatNamed(LogFormatName(format)), format);
    }
    EXPECT_EQ(LogFormatNamed("ASC"), std::nullopt);
    EXPECT_EQ(LogFormatOfExtension("a/B.LOG"), LogFormat::Candump);
    EXPECT_EQ(LogFormatOfExtension("b.Asc"), LogFormat::Asc);
    EXPECT_EQ(LogFormatOfExtension("c.csv"), LogFormat::Csv);
    EXPECT_EQ(LogFormatOfExtension("d.txt"), std::nullopt);
}

TEST(LogFormatTest, ContentShowsTheFormat) {
    struct Row {
        const char* name;
        const char* start;
        std::optional<LogFormat> format;
    };
    const Row rows[] = {
        {"candump after blank lines", "\r\n  \n(1.0) can0 123#00", LogFormat::Candump},
        {"candump after comments", "# bench\n# run 2\n(1.0) can0 123#00", LogFormat::Candump},
        {"asc date", "date Wed Dec 09 12:23:57.000 pm 2026\n", LogFormat::Asc},
        {"asc base", "base hex  timestamps absolute", LogFormat::Asc},
        {"asc comment", "// version\n", LogFormat::Asc},
        {"asc trigger block", "Begin Triggerblock\n", LogFormat::Asc},
        {"csv with BOM", "\xEF\xBB\xBFtime,channel,id,extended,remote,length,data\r\n",
         LogFormat::Csv},
        {"other csv", "time,id,data\n", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(LogFormatOfContent(row.start), row.format) << row.name;
    }
}

}  // namespace
}  // namespace quillon::canlog
