// Template of the converter's window.
#include "platform/ui/WindowMessages.hpp"
#include "refold/CRefoldDlg.hpp"
#include "refold/RefoldTexts.hpp"

namespace quillon::refold {

using ui::ControlKind;
using ui::IDC_STATIC;

const ui::DialogTemplate& RefoldDlgTemplate() {
    static const ui::DialogTemplate tmpl{
        IDD_REFOLD,
        REFOLD_CAPTION,
        300,
        146,
        {
            {IDC_STATIC, ControlKind::Static, "输入文件：", {}, {7, 9, 50, 9}},
            {IDC_REFOLD_INPUT, ControlKind::Edit, "", {}, {60, 7, 180, 13}},
            {IDC_REFOLD_BROWSE, ControlKind::PushButton, "浏览...", {}, {245, 6, 48, 14}},
            {IDC_STATIC, ControlKind::Static, "输出格式：", {}, {7, 28, 50, 9}},
            {IDC_REFOLD_FORMAT,
             ControlKind::ComboBox,
             "",
             {"candump", "ASC", "CSV", "recorder"},
             {60, 26, 80, 60}},
            {IDC_STATIC, ControlKind::Static, "输出文件：", {}, {7, 47, 50, 9}},
            {IDC_REFOLD_OUTPUT, ControlKind::Edit, "", {}, {60, 45, 233, 13}},
            {IDC_STATIC, ControlKind::Static, "通道名称：", {}, {7, 66, 50, 9}},
            {IDC_REFOLD_CHANNELS, ControlKind::Edit, "", {}, {60, 64, 80, 13}},
            {IDC_STATIC,
             ControlKind::Static,
             "（CAN1、CAN2 在 candump 记录中的接口名）",
             {},
             {145, 66, 148, 9}},
            {IDC_REFOLD_PROGRESS, ControlKind::ProgressBar, "", {}, {7, 86, 286, 10}},
            {IDC_REFOLD_STATUS, ControlKind::Static, "", {}, {7, 101, 286, 18}},
            {IDC_REFOLD_CONVERT,
             ControlKind::PushButton,
             "转换",
             {},
             {189, 125, 50, 14},
             true,
             true,
             ui::STYLE_DEFAULT_BUTTON},
            {ui::IDCANCEL, ControlKind::PushButton, "关闭", {}, {243, 125, 50, 14}},
        }};
    return tmpl;
}

}  // namespace quillon::refold
