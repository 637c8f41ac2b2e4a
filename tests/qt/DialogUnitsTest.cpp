#include <gtest/gtest.h>

#include <QLabel>

#include "frontends/qt/DialogUnits.hpp"

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

}  // namespace
}  // namespace quillon::gui
