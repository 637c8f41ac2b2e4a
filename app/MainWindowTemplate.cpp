#include "app/MainWindowTemplate.hpp"

#include <algorithm>

#include "app/MainWindowIds.hpp"
#include "platform/ui/SharedTexts.hpp"

namespace quillon::app {

using ui::ControlKind;
using ui::IDC_STATIC;

const ui::DialogTemplate& MainWindowTemplate() {
    static const ui::DialogTemplate tmpl{
        IDD_MAIN_WINDOW,
        "Quillon 设备升级程序 - Quillon 工作室",
        330,
        140,
        {
            {IDC_TAB, ControlKind::TabControl, "", {}, {7, 7, 316, 6}, false, true, 0},
            {IDC_STATIC, ControlKind::Static, "索引号：", {}, {7, 22, 32, 10}, true, true, 0},
            {IDC_ADAPTER_INDEX,
             ControlKind::ComboBox,
             "",
             {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"},
             {40, 20, 40, 120},
             true,
             true,
             0},
            {IDC_CONNECT, ControlKind::PushButton, "连接设备", {}, {88, 19, 70, 14}, true, true, 0},
            {IDC_WRITE_PARAMETERS,
             ControlKind::PushButton,
             "下发设置参数",
             {},
             {165, 19, 75, 14},
             true,
             false,
             0},
            {IDC_READ_PARAMETERS,
             ControlKind::PushButton,
             "读取设备参数",
             {},
             {248, 19, 75, 14},
             true,
             false,
             0},
            {IDC_UPGRADE, ControlKind::PushButton, "升级固件", {}, {7, 39, 70, 14}, true, true, 0},
            {IDC_ENTER_UPGRADE,
             ControlKind::PushButton,
             "进入升级模式",
             {},
             {88, 39, 70, 14},
             true,
             true,
             0},
            {IDC_STORAGE_INIT,
             ControlKind::PushButton,
             "存储初始化",
             {},
             {165, 39, 75, 14},
             true,
             false,
             0},
            {IDC_MANUAL, ControlKind::PushButton, "使用说明", {}, {248, 39, 75, 14}, true, true, 0},
            {IDC_CONVERTER,
             ControlKind::PushButton,
             "记录文件转换",
             {},
             {165, 58, 75, 14},
             true,
             false,
             0},
            {IDC_BAUD_CALCULATOR,
             ControlKind::PushButton,
             "波特率设置参考",
             {},
             {248, 58, 75, 14},
             false,
             false,
             0},
            {IDC_PROGRESS, ControlKind::ProgressBar, "", {}, {7, 78, 316, 10}, true, true, 0},
            {IDC_STATUS, ControlKind::Static, "     状态栏", {}, {7, 92, 150, 10}, true, true, 0},
            {IDC_UPGRADE_MODE,
             ControlKind::Static,
             "升级模式",
             {},
             {165, 92, 158, 10},
             true,
             true,
             0},
            {IDC_DEVICE_INFO,
             ControlKind::Edit,
             "",
             {},
             {7, 106, 316, 12},
             true,
             true,
             ui::STYLE_READONLY},
            {IDC_STATIC, ControlKind::Static, "程序信息：", {}, {7, 124, 42, 10}, true, true, 0},
            {IDC_PROGRAM_INFO,
             ControlKind::Static,
             "------",
             {},
             {50, 124, 273, 10},
             true,
             true,
             0},
        }};
    return tmpl;
}

const ui::DialogTemplate& AboutBoxTemplate() {
    static const ui::DialogTemplate tmpl{
        IDD_ABOUTBOX,
        "关于 Quillon",
        235,
        55,
        {
            {IDC_STATIC, ControlKind::Icon, "128", {}, {11, 17, 20, 20}, true, true, 0},
            {IDC_STATIC,
             ControlKind::Static,
             "Quillon，版本 0.1.0",
             {},
             {40, 14, 119, 8},
             true,
             true,
             0},
            {IDC_STATIC,
             ControlKind::Static,
             "设备配置与升级程序，Quillon 工作室",
             {},
             {40, 26, 119, 8},
             true,
             true,
             0},
            {ui::IDOK,
             ControlKind::PushButton,
             ui::BUTTON_OK,
             {},
             {178, 7, 50, 14},
             true,
             true,
             ui::STYLE_DEFAULT_BUTTON},
        }};
    return tmpl;
}

int CommandAreaTop(const ui::DialogTemplate& info) {
    int top = info.height;
    for (const auto& control : info.controls) {
        if (control.visible && control.id != IDC_TAB) {
            top = std::min(top, control.rect.y);
        }
    }
    return top;
}

}  // namespace quillon::app
