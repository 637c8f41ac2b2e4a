#include "tests/win32/window/LayoutCheck.hpp"

#include <cstdlib>

#include "frontends/win32/ControlClasses.hpp"
#include "frontends/win32/ControlMirror.hpp"
#include "frontends/win32/Utf16.hpp"

namespace quillon::test {

namespace {

constexpr int CLASS_CHARACTERS = 64;

struct BaseUnits {
    int x = 0;
    int y = 0;
};

/// The dialog font's average Latin letter width and its height.
BaseUnits MeasureFont(HWND window) {
    HDC context = GetDC(window);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    const HGDIOBJ old = SelectObject(context, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(context, &metrics);
    SIZE letters{};
    const wchar_t* alphabet = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    GetTextExtentPoint32W(context, alphabet, 52, &letters);
    SelectObject(context, old);
    ReleaseDC(window, context);
    // The system's own rule for a dialog's base units.
    return {(static_cast<int>(letters.cx) / 26 + 1) / 2, static_cast<int>(metrics.tmHeight)};
}

std::string ClassOf(const win32::TemplateItem& item) {
    if (const auto* atom = std::get_if<win32::ClassAtom>(&item.windowClass)) {
        switch (*atom) {
            case win32::ClassAtom::Button:
                return "Button";
            case win32::ClassAtom::Edit:
                return "Edit";
            case win32::ClassAtom::Static:
                return "Static";
            case win32::ClassAtom::ComboBox:
                return "ComboBox";
            default:
                return "?";
        }
    }
    const std::u16string& name = std::get<std::u16string>(item.windowClass);
    return win32::Utf8Text(std::wstring(name.begin(), name.end()));
}

std::string ClassName(HWND window) {
    wchar_t name[CLASS_CHARACTERS] = {};
    GetClassNameW(window, name, CLASS_CHARACTERS);
    return win32::Utf8Text(name);
}

std::string Describe(int index, const ui::ControlTemplate& control) {
    return "control " + std::to_string(index) + " (id " + std::to_string(control.id) + ")";
}

void CheckRect(std::vector<std::string>& out, const std::string& what, const RECT& actual,
               const RECT& expected, bool heightToo) {
    const bool within = std::abs(actual.left - expected.left) <= 1 &&
                        std::abs(actual.top - expected.top) <= 1 &&
                        std::abs(actual.right - expected.right) <= 1 &&
                        (!heightToo || std::abs(actual.bottom - expected.bottom) <= 1);
    if (!within) {
        out.push_back(what + " at " + std::to_string(actual.left) + "," +
                      std::to_string(actual.top) + "-" + std::to_string(actual.right) + "," +
                      std::to_string(actual.bottom) + ", expected " +
                      std::to_string(expected.left) + "," + std::to_string(expected.top) + "-" +
                      std::to_string(expected.right) + "," + std::to_string(expected.bottom));
    }
}

}  // namespace

std::vector<std::string> LayoutMismatches(HWND window, const ui::Dialog& model, int lift) {
    std::vector<std::string> out;
    const BaseUnits units = MeasureFont(window);
    auto x = [&units](int dlu) { return MulDiv(dlu, units.x, 4); };
    auto y = [&units](int dlu) { return MulDiv(dlu, units.y, 8); };
    HWND child = GetWindow(window, GW_CHILD);
    const auto& controls = model.Template().controls;
    for (std::size_t i = 0; i < controls.size(); ++i, child = GetWindow(child, GW_HWNDNEXT)) {
        const ui::ControlTemplate& control = controls[i];
        const std::string what = Describe(static_cast<int>(i), control);
        if (child == nullptr) {
            out.push_back(what + " is missing");
            break;
        }
        if (GetDlgCtrlID(child) != control.id &&
            !(control.id == ui::IDC_STATIC && GetDlgCtrlID(child) == 0xFFFF)) {
            out.push_back(what + " has id " + std::to_string(GetDlgCtrlID(child)));
        }
        const std::string wantedClass = ClassOf(win32::ItemFor(control));
        if (_stricmp(ClassName(child).c_str(), wantedClass.c_str()) != 0) {
            out.push_back(what + " is a " + ClassName(child) + ", not a " + wantedClass);
        }
        const bool named = control.id != ui::IDC_STATIC;
        const bool visible = named ? model.IsWindowVisible(control.id) : control.visible;
        if (((GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) != 0) != visible) {
            out.push_back(what + (visible ? " is hidden" : " is shown"));
        }
        const bool texted = control.kind == ui::ControlKind::PushButton ||
                            control.kind == ui::ControlKind::CheckBox ||
                            control.kind == ui::ControlKind::RadioButton ||
                            control.kind == ui::ControlKind::Static ||
                            control.kind == ui::ControlKind::GroupBox;
        const std::string text = named ? model.GetDlgItemText(control.id) : control.text;
        if (texted && win32::WindowText(child) != text) {
            out.push_back(what + " shows \"" + win32::WindowText(child) + "\", not \"" + text +
                          "\"");
        }
        RECT actual{};
        GetWindowRect(child, &actual);
        MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&actual), 2);
        const RECT expected{x(control.rect.x), y(control.rect.y) - lift,
                            x(control.rect.x + control.rect.width),
                            y(control.rect.y + control.rect.height) - lift};
        // A closed drop-down list is as high as the system makes it; the
        // template's height is that of its open list. An icon is as large as the icon.
        const bool heightToo = control.kind != ui::ControlKind::ComboBox &&
                               control.kind != ui::ControlKind::Icon &&
                               control.kind != ui::ControlKind::TabControl;
        if (control.kind != ui::ControlKind::Icon && control.kind != ui::ControlKind::TabControl) {
            CheckRect(out, what, actual, expected, heightToo);
        }
    }
    return out;
}

}  // namespace quillon::test
