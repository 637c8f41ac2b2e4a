#include "dtu/DTUHlDlg.hpp"
#include "dtu/DtuTemplates.hpp"
#include "pages/TemplateControls.hpp"

namespace quillon::dtu {

using namespace pages::layout;
using ui::DialogTemplate;

namespace {

using D = DTUHlDlg;

std::vector<ui::ControlTemplate> AdvControls() {
    std::vector<ui::ControlTemplate> controls{
        Label("备用服务器地址：", {10, 10, 64, 10}),
        Edit(D::IDC_EDIT_BACKUP_ADDR, {76, 8, 150, 12}),
        Label("端口：", {232, 10, 24, 10}),
        Edit(D::IDC_EDIT_BACKUP_PORT, {258, 8, 50, 12}, ui::STYLE_NUMBER),
        Check(D::IDC_CHECK_RTC_AUTO_CAL, "实时时钟自动校准", {320, 10, 80, 10}),
        Label("网络协议：", {10, 28, 40, 10}),
        Radio(D::IDC_RADIO_TCP, "TCP", {52, 28, 30, 10}, true),
        Radio(D::IDC_RADIO_UDP, "UDP", {86, 28, 30, 10}, false),
        Label("GPRS APN：", {130, 28, 44, 10}),
        Edit(D::IDC_EDIT_APN, {176, 26, 120, 12}),
        Check(D::IDC_CHECK_APN_MODIFY, "修改", {300, 28, 30, 10}),
        Group("短信指令手机号码", {6, 44, 448, 64}),
    };
    for (std::size_t i = 0; i < 6; ++i) {
        const int x = 12 + static_cast<int>(i % 3) * 146;
        const int y = 58 + static_cast<int>(i / 3) * 20;
        controls.push_back(Label("手机号码" + std::to_string(i + 1) + "：", {x, y + 2, 40, 10}));
        controls.push_back(Edit(D::PHONE_IDS[i], {x + 42, y, 96, 12}));
    }
    const std::vector<ui::ControlTemplate> rest{
        Label("电话唤醒手机号码：", {10, 116, 72, 10}),
        Edit(D::PHONE_IDS[6], {84, 114, 96, 12}),
        Label("设备无信号重启时间：", {10, 134, 80, 10}),
        Edit(D::IDC_EDIT_NO_SIGNAL_MIN, {92, 132, 40, 12}, ui::STYLE_NUMBER),
        Label("分钟", {134, 134, 20, 10}),
        Label("设备定时启动时间间隔：", {170, 134, 88, 10}),
        Edit(D::IDC_EDIT_TIMED_START_MIN, {260, 132, 40, 12}, ui::STYLE_NUMBER),
        Label("分钟", {302, 134, 20, 10}),
        Button(D::IDC_BUTTON_SAVE, "保存设置", {398, 154, 56, 14}),
    };
    controls.insert(controls.end(), rest.begin(), rest.end());
    return controls;
}

}  // namespace

const DialogTemplate& DtuAdvTemplate() {
    static const DialogTemplate dialog{140, "", 460, 260, AdvControls()};
    return dialog;
}

}  // namespace quillon::dtu
