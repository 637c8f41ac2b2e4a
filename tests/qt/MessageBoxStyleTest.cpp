#include <gtest/gtest.h>

#include "frontends/qt/FileFilter.hpp"
#include "frontends/qt/MessageBoxStyle.hpp"
#include "frontends/qt/ModelText.hpp"
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

TEST(FileFilterTest, ModelFiltersBecomeQtNameFilters) {
    EXPECT_EQ(QtNameFilters("Files (*.bin,*.dat)|*.bin;*.dat||"),
              QStringList{"Files (*.bin,*.dat) (*.bin *.dat)"});
    EXPECT_EQ(QtNameFilters("固件|*.bin|全部文件|*.*||"),
              (QStringList{"固件 (*.bin)", "全部文件 (*.*)"}));
    EXPECT_TRUE(QtNameFilters("").isEmpty());
    EXPECT_TRUE(QtNameFilters("Unpaired").isEmpty());
}

TEST(ModelTextTest, LineEndsAndColoursConvertBothWays) {
    EXPECT_EQ(DisplayText("29\r\n\r\nX"), "29\n\nX");
    EXPECT_EQ(DisplayText("a\rb"), "a\nb");
    EXPECT_EQ(ModelMultiLineText("a\nb"), "a\r\nb");
    EXPECT_EQ(ModelText(QStringLiteral("断开设备")), "断开设备");
    EXPECT_EQ(ColourFromRef(0x00EE6E43), QColor(67, 110, 238));
    EXPECT_EQ(ColourFromRef(0x0000FF00), QColor(0, 255, 0));
    EXPECT_EQ(ColourFromRef(0x000000FF), QColor(255, 0, 0));
}

}  // namespace
}  // namespace quillon::gui
