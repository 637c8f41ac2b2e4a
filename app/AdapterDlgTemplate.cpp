// Template of the adapter dialog.
#include "app/CAdapterDlg.hpp"
#include "platform/ui/SharedTexts.hpp"

namespace quillon::app {

using ui::ControlKind;
using ui::IDC_STATIC;

const ui::DialogTemplate& AdapterDlgTemplate() {
    static const ui::DialogTemplate tmpl{
        IDD_ADAPTER,
        "选择适配器",
        440,
        180,
        {
            {IDC_STATIC,
             ControlKind::Static,
             "本机的适配器（不可用或未测试的注明原因）：",
             {},
             {7, 7, 250, 9},
             true,
             true,
             0},
            {IDC_ADAPTER_LIST,
             ControlKind::ListView,
             "",
             {},
             {7, 18, 426, 104},
             true,
             true,
             ui::STYLE_VSCROLL},
            {IDC_STATIC,
             ControlKind::Static,
             "适配器设置（可加选项，如 sim:type=2,fw=11）：",
             {},
             {7, 128, 250, 9},
             true,
             true,
             0},
            {IDC_ADAPTER_SPEC, ControlKind::Edit, "", {}, {7, 139, 426, 13}, true, true, 0},
            {ui::IDOK,
             ControlKind::PushButton,
             ui::BUTTON_OK,
             {},
             {326, 159, 50, 14},
             true,
             true,
             ui::STYLE_DEFAULT_BUTTON},
            {ui::IDCANCEL,
             ControlKind::PushButton,
             ui::BUTTON_CANCEL,
             {},
             {383, 159, 50, 14},
             true,
             true,
             0},
        }};
    return tmpl;
}

}  // namespace quillon::app
