// The model's templates as window-system templates: each control kind as the
// system's own control class and styles, each dialog as a pop-up window (a
// window with its caption) or as a child page inside another dialog.
#pragma once

#include <string>
#include <vector>

#include "frontends/win32/TemplateBytes.hpp"
#include "platform/ui/DialogTemplate.hpp"

namespace quillon::win32 {

/// The rich-edit control's class, from the library PrepareControls loads (Msftedit.dll).
inline constexpr const char16_t* RICH_EDIT_CLASS = u"RICHEDIT50W";
/// The resource number of the program icon (the about box shows it).
inline constexpr std::uint16_t PROGRAM_ICON = 128;

enum class DialogRole {
    Window,  ///< a top-level window with caption and close box
    Page,    ///< a child without a frame, placed by its parent
};

/// The system's template for `control`.
TemplateItem ItemFor(const ui::ControlTemplate& control);
/// The system's template for `dialog` in `role`, with `faceName` at 9 points.
std::vector<std::uint8_t> TemplateBytesFor(const ui::DialogTemplate& dialog, DialogRole role,
                                           const std::u16string& faceName);

}  // namespace quillon::win32
