#include "pages/CSysParaDlg.hpp"
#include "pages/PageTemplates.hpp"
#include "pages/TemplateControls.hpp"

namespace quillon::pages {

using namespace layout;
using ui::ControlKind;
using ui::DialogTemplate;

const DialogTemplate& SysParaTemplate() {
    using D = CSysParaDlg;
    static const DialogTemplate dialog{
        131,
        "",
        460,
        260,
        {
            Group("记录参数设置(记录仪特有)", {6, 6, 448, 70}),
            Label("单个文件大小", {12, 20, 50, 10}),
            Edit(D::IDC_EDIT_FILE_SIZE, {64, 18, 30, 12}, ui::STYLE_READONLY),
            Label("M", {96, 20, 8, 10}),
            Label("1M", {110, 20, 12, 10}),
            Control(D::IDC_SLIDER_FILE_SIZE, ControlKind::Slider, {}, {124, 16, 200, 16}),
            Label("128M", {326, 20, 20, 10}),
            Check(D::IDC_CHECK_CYCLIC, "循环覆盖记录（存储器满时，覆盖之前的文件）",
                  {12, 40, 220, 10}),
            Hidden(
                Check(D::IDC_CHECK_FIRST_FRAME_ZERO, "每个文件第一帧时间为0", {12, 56, 120, 10})),
            Group("设备时间校准", {6, 82, 448, 26}),
            Check(D::IDC_CHECK_SYSTEM_TIME, "使用当前系统时间", {12, 94, 100, 10}),
            Group("设备信息", {6, 114, 448, 60}),
            Label("硬件版本：", {12, 128, 40, 10}),
            Edit(D::IDC_EDIT_HW_VERSION, {54, 126, 100, 12}, ui::STYLE_READONLY),
            Label("固件版本：", {170, 128, 40, 10}),
            Edit(D::IDC_EDIT_FW_VERSION, {212, 126, 100, 12}, ui::STYLE_READONLY),
            Label("设备序号：", {12, 150, 40, 10}),
            Edit(D::IDC_EDIT_SERIAL, {54, 148, 110, 12}, ui::STYLE_READONLY),
            Label("设备类型：", {170, 150, 40, 10}),
            Edit(D::IDC_EDIT_DEVICE_TYPE, {212, 148, 100, 12}, ui::STYLE_READONLY),
            Group("记录数据防错", {6, 180, 448, 26}),
            Check(D::IDC_CHECK_ERROR_PROOFING, "启用防错机制(固件V8及以上可用)",
                  {12, 192, 160, 10}),
        }};
    return dialog;
}

}  // namespace quillon::pages
