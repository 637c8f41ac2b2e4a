#include "dtu/DTUDlg.hpp"
#include "dtu/DtuTemplates.hpp"
#include "pages/TemplateControls.hpp"

namespace quillon::dtu {

using namespace pages::layout;
using ui::DialogTemplate;

const DialogTemplate& DtuBasicTemplate() {
    using D = DTUDlg;
    static const DialogTemplate dialog{
        139,
        "",
        460,
        260,
        {
            Label("服务器地址：", {10, 10, 50, 10}),
            Edit(D::IDC_EDIT_SERVER_ADDR, {62, 8, 150, 12}),
            Label("服务器端口：", {220, 10, 50, 10}),
            Edit(D::IDC_EDIT_SERVER_PORT, {272, 8, 50, 12}, ui::STYLE_NUMBER),
            Label("工作模式：", {10, 28, 40, 10}),
            Radio(D::IDC_RADIO_AUTO_CONNECT, "自动连接", {62, 28, 50, 10}, true),
            Radio(D::IDC_RADIO_SINGLE_CONNECT, "单次连接", {116, 28, 50, 10}, false),
            Radio(D::IDC_RADIO_PRIVATE_PROTOCOL, "TALVIN私有协议", {220, 28, 70, 10}, true),
            Radio(D::IDC_RADIO_TRANSPARENT, "透传协议", {294, 28, 50, 10}, false),
            Label("心跳包时间间隔：", {10, 46, 64, 10}),
            Edit(D::IDC_EDIT_HEARTBEAT_SEC, {76, 44, 40, 12}, ui::STYLE_NUMBER),
            Label("秒", {118, 46, 10, 10}),
            Label("心跳包内容：", {10, 64, 50, 10}),
            Edit(D::IDC_EDIT_HEARTBEAT, {62, 62, 300, 12}),
            Check(D::IDC_CHECK_HEARTBEAT_HEX, "十六进制", {368, 64, 50, 10}),
            Label("服务器下传数据间隔：", {10, 82, 80, 10}),
            Edit(D::IDC_EDIT_DOWNLINK_SEC, {92, 80, 40, 12}, ui::STYLE_NUMBER),
            Label("秒", {134, 82, 10, 10}),
            Label("（如果设为0，表示没有超时限制）", {148, 82, 140, 10}),
            Label("自定义注册包内容：", {10, 100, 72, 10}),
            Edit(D::IDC_EDIT_REG_PACKET, {84, 98, 278, 12}),
            Check(D::IDC_CHECK_REG_HEX, "十六进制", {368, 100, 50, 10}),
            Group("短信参数配置", {6, 118, 220, 70}),
            Label("短信输出方式：", {12, 132, 56, 10}),
            Combo(D::IDC_COMBO_SMS_OUTPUT,
                  {"0串口不输出", "1串口输出号码时间内容", "2串口输出短信内容"},
                  {70, 130, 150, 50}),
            Label("短信输出编码：", {12, 150, 56, 10}),
            Combo(D::IDC_COMBO_SMS_CODING,
                  {"0短信原始编码", "1标准UNICODE编码", "2PDU解码，输出GBK编码"},
                  {70, 148, 150, 50}),
            Label("短信提醒方式：", {12, 168, 56, 10}),
            Combo(D::IDC_COMBO_SMS_ALERT,
                  {"0收到短信data灯无提示", "1收到控制短信data闪5秒", "2收到数据短信data灯闪5秒",
                   "3收到所有短信data灯闪5秒"},
                  {70, 166, 150, 60}),
            Group("TALVIN串口参数配置", {232, 118, 222, 70}),
            Label("波特率：", {238, 132, 34, 10}),
            Combo(D::IDC_COMBO_UART_BAUD,
                  {"115200", "57600", "38400", "28800", "19200", "9600", "4800", "2400", "1200",
                   "600", "300"},
                  {274, 130, 60, 100}),
            Label("校验位：", {340, 132, 34, 10}),
            Combo(D::IDC_COMBO_UART_PARITY, {"0无校验", "1奇校验", "2偶校验"}, {376, 130, 60, 50}),
            Label("数据位：", {238, 150, 34, 10}),
            Combo(D::IDC_COMBO_UART_DATA_BITS, {"8", "7", "6", "5"}, {274, 148, 60, 50}),
            Label("停止位：", {340, 150, 34, 10}),
            Combo(D::IDC_COMBO_UART_STOP_BITS, {"1", "1.5", "2"}, {376, 148, 60, 50}),
            Button(D::IDC_BUTTON_SAVE, "保存设置", {398, 194, 56, 14}),
        }};
    return dialog;
}

}  // namespace quillon::dtu
