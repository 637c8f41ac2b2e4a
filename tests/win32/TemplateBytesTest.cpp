// The in-memory dialog template, byte for byte as the system reads it.
#include "frontends/win32/TemplateBytes.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace quillon::win32 {
namespace {

TEST(TemplateBytesTest, HeaderAndItemsAreLaidOutWithEachItemOnAFourByteBoundary) {
    TemplateHeader header;
    header.style = 0x00000040;
    header.x = 1;
    header.y = 2;
    header.cx = 30;
    header.cy = 20;
    header.title = u"Ab";
    header.pointSize = 9;
    header.weight = 400;
    header.charset = 1;
    header.faceName = u"F";
    TemplateItem button;
    button.windowClass = ClassAtom::Button;
    button.title = std::u16string(u"O");
    button.id = 1028;
    button.style = 0x50010000;
    button.x = 3;
    button.y = 4;
    button.cx = 50;
    button.cy = 14;
    TemplateItem icon;
    icon.windowClass = std::u16string(u"X");
    icon.title = ResourceOrdinal{128};
    icon.id = 0xFFFFFFFF;
    icon.style = 0x50000003;
    icon.exStyle = 0x00000200;
    icon.x = -1;

    const std::vector<std::uint8_t> expected = {
        // header: version, signature, help id, extended style, style
        0x01, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x00, 0x00,
        0x00,
        // two items, x 1, y 2, cx 30, cy 20
        0x02, 0x00, 0x01, 0x00, 0x02, 0x00, 0x1E, 0x00, 0x14, 0x00,
        // no menu, the dialog class, title "Ab"
        0x00, 0x00, 0x00, 0x00, 0x41, 0x00, 0x62, 0x00, 0x00, 0x00,
        // 9 points, weight 400, not italic, character set 1, face "F"
        0x09, 0x00, 0x90, 0x01, 0x00, 0x01, 0x46, 0x00, 0x00, 0x00,
        // padding to offset 48
        0x00, 0x00,
        // button: help id, extended style, style
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x50,
        // x 3, y 4, cx 50, cy 14, id 1028
        0x03, 0x00, 0x04, 0x00, 0x32, 0x00, 0x0E, 0x00, 0x04, 0x04, 0x00, 0x00,
        // class by atom 0x0080, title "O", no creation data
        0xFF, 0xFF, 0x80, 0x00, 0x4F, 0x00, 0x00, 0x00, 0x00, 0x00,
        // padding to offset 84
        0x00, 0x00,
        // icon: help id, extended style, style
        0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x03, 0x00, 0x00, 0x50,
        // x -1, y 0, cx 0, cy 0, id 0xFFFFFFFF
        0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF,
        // class by name "X", title by ordinal 128, no creation data
        0x58, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00};

    EXPECT_EQ(BuildTemplateBytes(header, {button, icon}), expected);
}

TEST(TemplateBytesTest, AnEmptyTemplateEndsWithTheFaceName) {
    TemplateHeader header;
    header.faceName = u"宋";
    const std::vector<std::uint8_t> bytes = BuildTemplateBytes(header, {});
    ASSERT_EQ(bytes.size(), 42u);  // no item, so no padding after the header
    EXPECT_EQ(bytes[16], 0x00);    // item count
    EXPECT_EQ(bytes[38], 0x8B);    // U+5B8B, little-endian
    EXPECT_EQ(bytes[39], 0x5B);
    EXPECT_EQ(bytes[40], 0x00);
    EXPECT_EQ(bytes[41], 0x00);
}

}  // namespace
}  // namespace quillon::win32
