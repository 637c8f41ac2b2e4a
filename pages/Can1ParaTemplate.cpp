#include "pages/CCan1ParaDlg.hpp"
#include "pages/PageTemplates.hpp"
#include "pages/PageTexts.hpp"
#include "pages/TemplateControls.hpp"

namespace quillon::pages {

using namespace layout;
using ui::ControlKind;
using ui::DialogTemplate;

const DialogTemplate& Can1ParaTemplate() {
    using D = CCan1ParaDlg;
    static const DialogTemplate dialog{
        129,
        "",
        460,
        260,
        {
            Check(D::IDC_CHECK_ENABLE, "启动记录CAN数据/CAN转发", {10, 8, 140, 10}),
            Label("波特率：", {10, 26, 40, 10}),
            Combo(D::IDC_COMBO_BAUD, Items(BAUD_RATE_NAMES), {52, 24, 70, 80}),
            Label("BTR0：", {130, 26, 28, 10}),
            Label("0x", {158, 26, 10, 10}),
            Edit(D::IDC_EDIT_BTR0, {170, 24, 30, 12}),
            Label("BTR1：", {206, 26, 28, 10}),
            Label("0x", {234, 26, 10, 10}),
            Edit(D::IDC_EDIT_BTR1, {246, 24, 30, 12}),
            Label("本CAN控制器晶振时钟为36MHz", {284, 26, 120, 10}),
            Label("工作模式：", {10, 44, 40, 10}),
            Combo(D::IDC_COMBO_WORK_MODE, Items(WORK_MODE_NAMES), {52, 42, 70, 40}),
            Check(D::IDC_CHECK_ACCEPT_ALL, "全部接收/回放", {130, 44, 80, 10}),
            Group("", {6, 60, 448, 50}),
            Combo(D::IDC_COMBO_FRAME_TYPE, Items(FRAME_TYPE_NAMES), {12, 70, 50, 40}),
            Combo(D::IDC_COMBO_FRAME_FORMAT, Items(FRAME_FORMAT_NAMES), {66, 70, 50, 40}),
            Label("0x", {122, 72, 10, 10}),
            Edit(D::IDC_EDIT_ID_START, {134, 70, 50, 12}),
            Label("<=  CAN ID   <=", {188, 72, 60, 10}),
            Label("0x", {250, 72, 10, 10}),
            Edit(D::IDC_EDIT_ID_END, {262, 70, 50, 12}),
            Label("记录间隔：", {12, 90, 40, 10}),
            Edit(D::IDC_EDIT_INTERVAL, {54, 88, 40, 12}),
            Label("ms", {96, 90, 12, 10}),
            Combo(D::IDC_COMBO_TRIGGER, Items(TRIGGER_NAMES), {114, 88, 60, 50}),
            Button(D::IDC_BUTTON_ADD, "增加滤波器", {320, 70, 60, 14}),
            Button(D::IDC_BUTTON_DELETE, "删除选中", {386, 70, 60, 14}),
            List(D::IDC_LIST_FILTERS, {6, 114, 448, 126}),
            Label("技术支持与资料下载请访问制造商网站", {6, 246, 300, 10}),
        }};
    return dialog;
}

}  // namespace quillon::pages
