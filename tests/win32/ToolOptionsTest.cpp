// The command line of Baudly.exe and Refold.exe: nothing runs the window,
// --help prints what the program is, anything else is refused with the usage.
#include "frontends/win32/ToolProgram.hpp"

#include <gtest/gtest.h>

namespace quillon::win32 {
namespace {

const ToolProgram TOOL{"Baudly", "Baudly: BTR0/BTR1 pairs.", nullptr};
const std::string USAGE =
    "Baudly: BTR0/BTR1 pairs.\nUsage: Baudly [--help]\n"
    "  --help  Print this help and end.\n";

struct OptionsRow {
    const char* name;
    std::vector<std::string> arguments;
    bool runWindow;
    int exitCode;
    std::string message;
};

class ToolOptionsTest : public ::testing::TestWithParam<OptionsRow> {};

TEST_P(ToolOptionsTest, Parse) {
    const OptionsRow& row = GetParam();
    const ToolOptionsOutcome outcome = ParseToolOptions(row.arguments, TOOL);
    EXPECT_EQ(outcome.runWindow, row.runWindow);
    EXPECT_EQ(outcome.exitCode, row.exitCode);
    EXPECT_EQ(outcome.message, row.message);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ToolOptionsTest,
    ::testing::Values(OptionsRow{"NothingRunsTheWindow", {"Baudly.exe"}, true, 0, ""},
                      OptionsRow{"HelpPrintsTheUsage", {"Baudly.exe", "--help"}, false, 0, USAGE},
                      OptionsRow{"ShortHelp", {"Baudly.exe", "-h"}, false, 0, USAGE},
                      OptionsRow{"UnknownOptionIsRefused",
                                 {"Baudly.exe", "--show-pages"},
                                 false,
                                 2,
                                 "Baudly: unexpected argument: --show-pages\n" + USAGE},
                      OptionsRow{"HelpWithMoreIsRefused",
                                 {"Baudly.exe", "--help", "x"},
                                 false,
                                 2,
                                 "Baudly: unexpected argument: x\n" + USAGE}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillon::win32
