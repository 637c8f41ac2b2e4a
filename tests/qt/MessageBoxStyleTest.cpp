#include <gtest/gtest.h>

#include "frontends/qt/MessageBoxStyle.hpp"
#include "platform/ui/WindowMessages.hpp"

namespace quillon::gui {
namespace {

struct StyleRow {
    const char* name;
    unsigned style;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    int closedAnswer;

    friend void PrintTo(const StyleRow& row, std::ostream* out) { *out << row.name; }
};

class MessageBoxStyleTest : public ::testing::TestWithParam<StyleRow> {};

TEST_P(MessageBoxStyleTest, StyleGivesIconButtonsAndClosedAnswer) {
    const StyleRow& row = GetParam();
    EXPECT_EQ(IconForStyle(row.style), row.icon);
    EXPECT_EQ(ButtonsForStyle(row.style), row.buttons);
    EXPECT_EQ(ClosedBoxAnswer(row.style), row.closedAnswer);
    EXPECT_EQ(ResultForButton(QMessageBox::NoButton, row.style), row.closedAnswer);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MessageBoxStyleTest,
    ::testing::Values(
        StyleRow{"WarningQuestionOk", ui::MB_ICONQUESTION, QMessageBox::Question, QMessageBox::Ok,
                 ui::IDOK},
        StyleRow{"PlainOk", ui::MB_OK, QMessageBox::NoIcon, QMessageBox::Ok, ui::IDOK},
        StyleRow{"ConfirmYesNo", ui::MB_YESNO | ui::MB_ICONQUESTION, QMessageBox::Question,
                 QMessageBox::Yes | QMessageBox::No, ui::IDNO},
        StyleRow{"OkCancelError", ui::MB_OKCANCEL | ui::MB_ICONERROR, QMessageBox::Critical,
                 QMessageBox::Ok | QMessageBox::Cancel, ui::IDCANCEL},
        StyleRow{"Exclamation", ui::MB_ICONEXCLAMATION, QMessageBox::Warning, QMessageBox::Ok,
                 ui::IDOK},
        StyleRow{"Information", ui::MB_ICONINFORMATION, QMessageBox::Information, QMessageBox::Ok,
                 ui::IDOK}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MessageBoxButtonsTest, PressedButtonsAnswerWithTheirIdsAndLocalCaptions) {
    const unsigned yesNo = ui::MB_YESNO;
    EXPECT_EQ(ResultForButton(QMessageBox::Yes, yesNo), ui::IDYES);
    EXPECT_EQ(ResultForButton(QMessageBox::No, yesNo), ui::IDNO);
    EXPECT_EQ(ResultForButton(QMessageBox::Ok, ui::MB_OKCANCEL), ui::IDOK);
    EXPECT_EQ(ResultForButton(QMessageBox::Cancel, ui::MB_OKCANCEL), ui::IDCANCEL);
    EXPECT_EQ(ButtonCaption(QMessageBox::Ok), "确定");
    EXPECT_EQ(ButtonCaption(QMessageBox::Cancel), "取消");
    EXPECT_EQ(ButtonCaption(QMessageBox::Yes), "是(&Y)");
    EXPECT_EQ(ButtonCaption(QMessageBox::No), "否(&N)");
}

}  // namespace
}  // namespace quillon::gui
