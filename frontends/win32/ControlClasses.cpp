#include "frontends/win32/ControlClasses.hpp"

#include "frontends/win32/SystemHeaders.hpp"

#include "frontends/win32/Utf16.hpp"

namespace quillon::win32 {

namespace {

bool Has(const ui::ControlTemplate& control, ui::ControlStyle style) {
    return (control.style & style) != 0;
}

DWORD EditStyle(const ui::ControlTemplate& control) {
    DWORD style = WS_BORDER | WS_TABSTOP;
    if (Has(control, ui::STYLE_MULTILINE)) {
        style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
    } else {
        style |= ES_AUTOHSCROLL;
    }
    if (Has(control, ui::STYLE_READONLY)) {
        style |= ES_READONLY;
    }
    if (Has(control, ui::STYLE_NUMBER)) {
        style |= ES_NUMBER;
    }
    return style;
}

DWORD ListStyle(const ui::ControlTemplate& control) {
    DWORD style = LVS_REPORT | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP;
    if (!Has(control, ui::STYLE_MULTISELECT)) {
        style |= LVS_SINGLESEL;
    }
    return style;
}

/// Class and the kind's own style bits.
void SetKind(TemplateItem& item, const ui::ControlTemplate& control) {
    switch (control.kind) {
        case ui::ControlKind::PushButton:
            item.windowClass = ClassAtom::Button;
            item.style = WS_TABSTOP | (Has(control, ui::STYLE_DEFAULT_BUTTON) ? BS_DEFPUSHBUTTON
                                                                              : BS_PUSHBUTTON);
            if (Has(control, ui::STYLE_MULTILINE)) {
                item.style |= BS_MULTILINE;
            }
            break;
        case ui::ControlKind::CheckBox:  // the model decides the check state
            item.windowClass = ClassAtom::Button;
            item.style = BS_CHECKBOX | WS_TABSTOP;
            break;
        case ui::ControlKind::RadioButton:
            item.windowClass = ClassAtom::Button;
            item.style = BS_RADIOBUTTON | WS_TABSTOP;
            break;
        case ui::ControlKind::Edit:
            item.windowClass = ClassAtom::Edit;
            item.style = EditStyle(control);
            break;
        case ui::ControlKind::ComboBox:
            item.windowClass = ClassAtom::ComboBox;
            item.style = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
            break;
        case ui::ControlKind::ListView:
            item.windowClass = std::u16string(u"SysListView32");
            item.style = ListStyle(control);
            break;
        case ui::ControlKind::Slider:
            item.windowClass = std::u16string(u"msctls_trackbar32");
            item.style = TBS_HORZ | TBS_BOTH | TBS_NOTICKS | WS_TABSTOP;
            break;
        case ui::ControlKind::ProgressBar:
            item.windowClass = std::u16string(u"msctls_progress32");
            item.style = WS_BORDER;
            break;
        case ui::ControlKind::Static:
            item.windowClass = ClassAtom::Static;
            item.style = SS_NOPREFIX | (Has(control, ui::STYLE_CENTER) ? SS_CENTER : SS_LEFT);
            break;
        case ui::ControlKind::GroupBox:
            item.windowClass = ClassAtom::Button;
            item.style = BS_GROUPBOX;
            break;
        case ui::ControlKind::RichEdit:
            item.windowClass = std::u16string(RICH_EDIT_CLASS);
            item.style = ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_BORDER | WS_VSCROLL;
            break;
        case ui::ControlKind::TabControl:
            item.windowClass = std::u16string(u"SysTabControl32");
            item.style = WS_CLIPSIBLINGS | WS_TABSTOP;
            break;
        case ui::ControlKind::Icon:
            item.windowClass = ClassAtom::Static;
            item.style = SS_ICON | SS_CENTERIMAGE;
            item.title = ResourceOrdinal{PROGRAM_ICON};
            break;
    }
}

}  // namespace

TemplateItem ItemFor(const ui::ControlTemplate& control) {
    TemplateItem item;
    item.title = Utf16FromUtf8(control.text);
    SetKind(item, control);
    item.style |= WS_CHILD;
    if (control.visible) {
        item.style |= WS_VISIBLE;
    }
    if (!control.enabled) {
        item.style |= WS_DISABLED;
    }
    if (Has(control, ui::STYLE_GROUP)) {
        item.style |= WS_GROUP;
    }
    if (Has(control, ui::STYLE_VSCROLL)) {
        item.style |= WS_VSCROLL;
    }
    item.id = static_cast<std::uint32_t>(control.id);
    item.x = static_cast<std::int16_t>(control.rect.x);
    item.y = static_cast<std::int16_t>(control.rect.y);
    item.cx = static_cast<std::int16_t>(control.rect.width);
    item.cy = static_cast<std::int16_t>(control.rect.height);
    return item;
}

std::vector<std::uint8_t> TemplateBytesFor(const ui::DialogTemplate& dialog, DialogRole role,
                                           const std::u16string& faceName) {
    TemplateHeader header;
    if (role == DialogRole::Window) {
        header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME |
                       DS_CENTER | DS_SETFONT;
        header.title = Utf16FromUtf8(dialog.caption);
    } else {
        header.style = WS_CHILD | DS_CONTROL | DS_SETFONT;
        header.exStyle = WS_EX_CONTROLPARENT;
    }
    header.cx = static_cast<std::int16_t>(dialog.width);
    header.cy = static_cast<std::int16_t>(dialog.height);
    header.faceName = faceName;
    std::vector<TemplateItem> items;
    items.reserve(dialog.controls.size());
    for (const ui::ControlTemplate& control : dialog.controls) {
        items.push_back(ItemFor(control));
    }
    return BuildTemplateBytes(header, items);
}

}  // namespace quillon::win32
