#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "frontends/qt/DialogUnits.hpp"
#include "frontends/qt/TextFit.hpp"

namespace quillon::gui {
namespace {

TEST(DialogUnitsTest, UnitsAreQuarterCharacterWidthsAndEighthCharacterHeights) {
    const DialogUnits units(6.0, 16.0);
    EXPECT_EQ(units.ToPixels(ui::Rect{4, 8, 40, 12}), QRect(6, 16, 60, 24));
    EXPECT_EQ(units.ToPixels(460, 260), QSize(690, 520));
    // Edges are rounded, so neighbours at 1 and 2 units stay flush.
    const QRect first = units.ToPixels(ui::Rect{1, 0, 1, 1});
    const QRect second = units.ToPixels(ui::Rect{2, 0, 1, 1});
    EXPECT_EQ(first.right() + 1, second.left());
}

TEST(DialogUnitsTest, ChineseTextFitsATemplateLabelInTheDialogFont) {
    QLabel label(QStringLiteral("服务器下传数据间隔："));
    const DialogUnits units(label.font());
    EXPECT_LE(label.sizeHint().width(), units.X(84))
        << "a label of ten characters needs about 80 dialog units";
}

class TextFitTest : public ::testing::Test {
  protected:
    QWidget dialog;
    QLabel* label = new QLabel(QStringLiteral("Quillon 设备配置与升级程序，版本 0.1.0"), &dialog);
    QPushButton* ok = new QPushButton(QStringLiteral("确定"), &dialog);
};

TEST_F(TextFitTest, ClippedLabelGrowsUpToTheNextControlOnItsLine) {
    label->setGeometry(10, 10, 40, 20);
    ok->setGeometry(120, 5, 60, 30);
    WidenClippedTexts({{label, true, false}, {ok, false, false}}, 400);
    EXPECT_EQ(label->geometry().right() + 1, 120 - 4);
    EXPECT_EQ(ok->geometry(), QRect(120, 5, 60, 30));
}

TEST_F(TextFitTest, LabelGrowsToItsTextWhenTheLineIsFree) {
    label->setGeometry(10, 10, 40, 20);
    ok->setGeometry(120, 40, 60, 30);  // on another line
    WidenClippedTexts({{label, true, false}, {ok, false, true}}, 2000);
    EXPECT_EQ(label->width(), label->sizeHint().width());
}

TEST_F(TextFitTest, OnlyTextsThatMayGrowAndAreClippedChange) {
    label->setGeometry(10, 10, 40, 20);
    ok->setGeometry(350, 10, 10, 20);
    WidenClippedTexts({{label, false, false}, {ok, true, false}}, 400);
    EXPECT_EQ(label->width(), 40);
    EXPECT_EQ(ok->geometry().right() + 1, 400 - 4) << "the dialog edge is the limit";
}

}  // namespace
}  // namespace quillon::gui
