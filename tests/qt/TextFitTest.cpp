#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "frontends/qt/TextFit.hpp"

namespace quillon::gui {
namespace {

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
