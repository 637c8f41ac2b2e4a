// An extended dialog template in memory: the bytes the window system's
// indirect dialog creation reads, laid out as a resource compiler would.
//
// Layout (all little-endian, text in UTF-16 with a terminating zero):
//   header  u16 version 1, u16 0xFFFF, u32 help id, u32 extended style,
//           u32 style, u16 item count, i16 x, y, cx, cy (dialog units),
//           menu (u16 0 = none), class (u16 0 = the dialog class), title,
//           u16 point size, u16 weight, u8 italic, u8 character set, face name
//   each item, starting on a 4-byte boundary:
//           u32 help id, u32 extended style, u32 style, i16 x, y, cx, cy,
//           u32 id, class (u16 0xFFFF + atom, or a name), title (u16 0xFFFF +
//           resource ordinal, or text), u16 size of creation data (0)
// Pure code: no window-system header is needed to build the bytes.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace quillon::win32 {

/// The predefined window classes a template may name by atom.
enum class ClassAtom : std::uint16_t {
    Button = 0x0080,
    Edit = 0x0081,
    Static = 0x0082,
    ListBox = 0x0083,
    ScrollBar = 0x0084,
    ComboBox = 0x0085,
};

/// A resource ordinal in place of a title (an icon's resource number).
struct ResourceOrdinal {
    std::uint16_t number = 0;
};

struct TemplateItem {
    std::variant<ClassAtom, std::u16string> windowClass = ClassAtom::Static;
    std::variant<std::u16string, ResourceOrdinal> title;
    std::uint32_t id = 0;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t cx = 0;
    std::int16_t cy = 0;
};

struct TemplateHeader {
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t cx = 0;
    std::int16_t cy = 0;
    std::u16string title;
    std::uint16_t pointSize = 9;
    std::uint16_t weight = 400;
    std::uint8_t italic = 0;
    std::uint8_t charset = 1;  ///< the default character set
    std::u16string faceName;
};

/// The template's bytes; the style should include the set-font flag, as the
/// font fields are always written.
std::vector<std::uint8_t> BuildTemplateBytes(const TemplateHeader& header,
                                             const std::vector<TemplateItem>& items);

}  // namespace quillon::win32
