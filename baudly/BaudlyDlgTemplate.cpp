// Template of the calculator's window.
#include "baudly/CBaudlyDlg.hpp"
#include "platform/ui/WindowMessages.hpp"

namespace quillon::baudly {

using ui::ControlKind;
using ui::IDC_STATIC;

const ui::DialogTemplate& BaudlyDlgTemplate() {
    static const ui::DialogTemplate tmpl{
        IDD_BAUDLY,
        BAUDLY_CAPTION,
        470,
        252,
        {
            {IDC_STATIC, ControlKind::Static, "波特率（bit/s）：", {}, {7, 9, 70, 9}},
            {IDC_BAUDLY_RATE, ControlKind::Edit, "", {}, {80, 7, 70, 13}},
            {IDC_STATIC, ControlKind::Static, "采样点（%，可不填）：", {}, {160, 9, 85, 9}},
            {IDC_BAUDLY_SAMPLE_POINT, ControlKind::Edit, "", {}, {248, 7, 45, 13}},
            {IDC_BAUDLY_SEARCH,
             ControlKind::PushButton,
             "计算",
             {},
             {300, 6, 50, 14},
             true,
             true,
             ui::STYLE_DEFAULT_BUTTON},
            {IDC_BAUDLY_SUMMARY, ControlKind::Static, "", {}, {7, 26, 456, 18}},
            {IDC_BAUDLY_PAIRS,
             ControlKind::ListView,
             "",
             {},
             {7, 46, 456, 130},
             true,
             true,
             ui::STYLE_VSCROLL},
            {IDC_STATIC, ControlKind::GroupBox, "由 BTR0/BTR1 反查", {}, {7, 182, 456, 44}},
            {IDC_STATIC, ControlKind::Static, "BTR0：", {}, {15, 197, 25, 9}},
            {IDC_BAUDLY_BTR0, ControlKind::Edit, "", {}, {42, 195, 30, 13}},
            {IDC_STATIC, ControlKind::Static, "BTR1：", {}, {80, 197, 25, 9}},
            {IDC_BAUDLY_BTR1, ControlKind::Edit, "", {}, {107, 195, 30, 13}},
            {IDC_BAUDLY_REVERSE, ControlKind::PushButton, "反查", {}, {145, 194, 50, 14}},
            {IDC_BAUDLY_REVERSE_RESULT, ControlKind::Static, "", {}, {15, 212, 440, 9}},
            {ui::IDCANCEL, ControlKind::PushButton, "关闭", {}, {413, 232, 50, 14}},
        }};
    return tmpl;
}

}  // namespace quillon::baudly
