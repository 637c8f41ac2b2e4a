// How the command-line host prints the window's boxes: a command's outcome
// box bare on the output when it succeeded, an error when it failed, any
// other box a warning, each named after the running command.
#include <gtest/gtest.h>

#include <sstream>

#include "frontends/cli/CliHost.hpp"
#include "platform/ui/WindowMessages.hpp"

namespace quillon::cli {
namespace {

constexpr unsigned NOTE = ui::MB_ICONQUESTION;
constexpr const char* WRITTEN = "写入参数成功，请重启设备生效!";
constexpr const char* NOT_WRITTEN = "写入参数失败，请检查设备是否连接正常!";

struct Shown {
    const char* text;
    const char* caption;
    unsigned style;
};

enum class Ending { Result, Succeeded, Failed, Unsettled };

struct HostCase {
    const char* name;
    std::vector<Shown> boxes;
    Ending ending;
    ui::CommandResult result;  ///< for Ending::Result
    bool quiet;
    const char* out;
    const char* err;
};

class CliHostTest : public ::testing::TestWithParam<HostCase> {};

TEST_P(CliHostTest, PrintsEachBoxByHowTheCommandEnded) {
    const HostCase& c = GetParam();
    std::ostringstream out;
    std::ostringstream err;
    {
        CliHost host(out, err, "write", false);
        host.SetQuiet(c.quiet);
        for (const Shown& box : c.boxes) {
            host.MessageBox(nullptr, box.text, box.caption, box.style);
        }
        switch (c.ending) {
            case Ending::Result:
                host.Settle(c.result);
                break;
            case Ending::Succeeded:
                host.Settle(true);
                break;
            case Ending::Failed:
                host.Settle(false);
                break;
            case Ending::Unsettled:
                break;
        }
    }
    EXPECT_EQ(out.str(), c.out);
    EXPECT_EQ(err.str(), c.err);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, CliHostTest,
    ::testing::Values(
        HostCase{"SucceededWithAWarningCaptionIsBareOnTheOutput",
                 {{WRITTEN, "警告", NOTE}},
                 Ending::Result,
                 {true, WRITTEN, "警告", NOTE, {}},
                 false,
                 "写入参数成功，请重启设备生效!\n",
                 ""},
        HostCase{"FailedIsAnError",
                 {{NOT_WRITTEN, "警告", NOTE}},
                 Ending::Result,
                 {false, NOT_WRITTEN, "警告", NOTE, {}},
                 false,
                 "",
                 "quillon-cli write: error: 写入参数失败，请检查设备是否连接正常!\n"},
        HostCase{"AnotherBoxBeforeTheOutcomeIsAWarning",
                 {{"请先连接设备", "警告", NOTE}, {WRITTEN, "警告", NOTE}},
                 Ending::Result,
                 {true, WRITTEN, "警告", NOTE, {}},
                 false,
                 "写入参数成功，请重启设备生效!\n",
                 "quillon-cli write: warning: 请先连接设备\n"},
        HostCase{"SameTextUnderAnotherCaptionIsNotTheOutcome",
                 {{WRITTEN, "通知", NOTE}},
                 Ending::Result,
                 {true, WRITTEN, "警告", NOTE, {}},
                 false,
                 "",
                 "quillon-cli write: warning: 写入参数成功，请重启设备生效!\n"},
        HostCase{"ARepeatedFailureIsAnErrorEachTime",
                 {{NOT_WRITTEN, "警告", NOTE}, {NOT_WRITTEN, "警告", NOTE}},
                 Ending::Result,
                 {false, NOT_WRITTEN, "警告", NOTE, {}},
                 false,
                 "",
                 "quillon-cli write: error: 写入参数失败，请检查设备是否连接正常!\n"
                 "quillon-cli write: error: 写入参数失败，请检查设备是否连接正常!\n"},
        HostCase{"AJudgedSuccessIsBare",
                 {{"读取设备参数成功!", "通知", NOTE}},
                 Ending::Succeeded,
                 {},
                 false,
                 "读取设备参数成功!\n",
                 ""},
        HostCase{"AJudgedFailureIsAnError",
                 {{"读取设备参数不完整，部分数据丢失，请重新读取!", "警告", NOTE}},
                 Ending::Failed,
                 {},
                 false,
                 "",
                 "quillon-cli write: error: 读取设备参数不完整，部分数据丢失，请重新读取!\n"},
        HostCase{"ABoxNoCommandClaimedIsAWarningAtTheEnd",
                 {{"打开设备失败!", "警告", NOTE}},
                 Ending::Unsettled,
                 {},
                 false,
                 "",
                 "quillon-cli write: warning: 打开设备失败!\n"},
        HostCase{"AQuestionPrintsAtOnceWithItsAnswer",
                 {{"确认初始化？", "Quillon", ui::MB_YESNO | NOTE}},
                 Ending::Unsettled,
                 {},
                 false,
                 "[Quillon] 确认初始化？ -> 否 (--yes to confirm)\n",
                 ""},
        HostCase{"QuietPrintsNothing",
                 {{NOT_WRITTEN, "警告", NOTE}},
                 Ending::Result,
                 {false, NOT_WRITTEN, "警告", NOTE, {}},
                 true,
                 "",
                 ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CliHostCommandTest, WithoutACommandTheProgramAloneIsNamed) {
    std::ostringstream out;
    std::ostringstream err;
    {
        CliHost host(out, err, "", false);
        host.MessageBox(nullptr, NOT_WRITTEN, "警告", NOTE);
    }
    EXPECT_EQ(err.str(), "quillon-cli: warning: 写入参数失败，请检查设备是否连接正常!\n");
}

// A quick device answers while the request's own box is up, or even before
// it: the answer's box is not the request's outcome, and comes out as its own.
TEST(CliHostOrderTest, ARequestAndItsAnswerSettleTogetherInEitherOrder) {
    constexpr const char* WAIT = "初次初始化大概需要1分钟时间，请耐心等待!";
    constexpr const char* FAILED = "初始化SD卡失败";
    const ui::CommandResult request{true, WAIT, "警告", NOTE, {}};
    const ui::CommandResult answer{false, FAILED, "警告", NOTE, {}};
    for (const bool answerFirst : {false, true}) {
        std::ostringstream out;
        std::ostringstream err;
        CliHost host(out, err, "storage-init", true);
        host.MessageBox(nullptr, answerFirst ? FAILED : WAIT, "警告", NOTE);
        host.MessageBox(nullptr, answerFirst ? WAIT : FAILED, "警告", NOTE);
        host.Settle(std::vector<ui::CommandResult>{request, answer});
        EXPECT_EQ(out.str(), std::string(WAIT) + "\n") << answerFirst;
        EXPECT_EQ(err.str(), "quillon-cli storage-init: error: 初始化SD卡失败\n") << answerFirst;
    }
}

}  // namespace
}  // namespace quillon::cli
