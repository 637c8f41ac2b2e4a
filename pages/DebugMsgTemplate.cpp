#include "pages/CDialogDebugMsg.hpp"
#include "pages/PageTemplates.hpp"
#include "pages/TemplateControls.hpp"

namespace quillon::pages {

using namespace layout;
using ui::ControlKind;
using ui::DialogTemplate;

const DialogTemplate& DebugMsgTemplate() {
    using D = CDialogDebugMsg;
    static const DialogTemplate dialog{
        138,
        "",
        460,
        260,
        {
            Control(D::IDC_RICHEDIT_DISPLAY, ControlKind::RichEdit, {}, {6, 6, 448, 180},
                    ui::STYLE_MULTILINE | ui::STYLE_VSCROLL | ui::STYLE_READONLY),
            Check(1011, "等级0", {6, 192, 36, 10}),
            Check(1023, "等级1", {46, 192, 36, 10}),
            Check(1030, "等级2", {86, 192, 36, 10}),
            Check(1031, "等级3", {126, 192, 36, 10}),
            Check(1032, "自动保存", {170, 192, 44, 10}),
            Check(1033, "显示发送", {218, 192, 44, 10}),
            Button(D::IDC_BUTTON_CLEAR, "清空显示", {330, 190, 56, 14}),
            Button(D::IDC_BUTTON_PAUSE, "暂停显示", {392, 190, 56, 14}),
            Edit(D::IDC_EDIT_SEND, {6, 210, 300, 12}),
            Check(D::IDC_CHECK_LINE_END, "换行", {312, 212, 30, 10}),
            Button(D::IDC_BUTTON_SEND, "文本发送", {392, 208, 56, 14}),
            Edit(1272, {6, 228, 300, 12}),
            Button(1228, "十六进制发送", {392, 226, 56, 14}),
        }};
    return dialog;
}

}  // namespace quillon::pages
