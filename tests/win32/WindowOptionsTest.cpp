// The command line of quillon.exe: the Qt window's options, the same refusals.
#include "frontends/win32/WindowOptions.hpp"

#include <gtest/gtest.h>

namespace quillon::win32 {
namespace {

struct OptionsRow {
    const char* name;
    std::vector<std::string> arguments;
    bool runs;
    int exitCode;
    bool showPages;
    std::string settingsDir;
    std::string messageStart;
};

const OptionsRow OPTIONS_ROWS[] = {
    {"Nothing", {"quillon"}, true, 0, false, "", ""},
    {"ShowPages", {"quillon", "--show-pages"}, true, 0, true, "", ""},
    {"SettingsDirInChinese", {"quillon", "--settings-dir", "设置"}, true, 0, false, "设置", ""},
    {"SettingsDirJoined",
     {"quillon", "--settings-dir=cfg", "--show-pages"},
     true,
     0,
     true,
     "cfg",
     ""},
    {"Help", {"quillon", "--help"}, false, 0, false, "", "Usage: quillon"},
    {"SettingsDirWithoutValue",
     {"quillon", "--settings-dir"},
     false,
     2,
     false,
     "",
     "quillon: missing value for option \"settings-dir\""},
    {"UnknownOption",
     {"quillon", "--show"},
     false,
     2,
     false,
     "",
     "quillon: unknown option \"--show\""},
    {"Positional",
     {"quillon", "extra"},
     false,
     2,
     false,
     "",
     "quillon: unexpected argument: extra"},
};

class WindowOptionsTest : public testing::TestWithParam<OptionsRow> {};

TEST_P(WindowOptionsTest, ParsesOrRefuses) {
    const OptionsRow& row = GetParam();
    const OptionsOutcome outcome = ParseWindowOptions(row.arguments);
    ASSERT_EQ(outcome.options.has_value(), row.runs);
    EXPECT_EQ(outcome.exitCode, row.exitCode);
    EXPECT_EQ(outcome.message.rfind(row.messageStart, 0), 0u) << outcome.message;
    if (outcome.options) {
        EXPECT_EQ(outcome.options->showPages, row.showPages);
        EXPECT_EQ(outcome.options->settingsDir, row.settingsDir);
    }
}

INSTANTIATE_TEST_SUITE_P(Arguments, WindowOptionsTest, testing::ValuesIn(OPTIONS_ROWS),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillon::win32
