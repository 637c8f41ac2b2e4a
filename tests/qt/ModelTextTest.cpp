#include <gtest/gtest.h>

#include "frontends/qt/ModelText.hpp"

namespace quillon::gui {
namespace {

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
