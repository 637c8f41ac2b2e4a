#include "pages/CCanReplayDlg.hpp"
#include "pages/PageTemplates.hpp"
#include "pages/PageTexts.hpp"
#include "pages/TemplateControls.hpp"

namespace quillon::pages {

using namespace layout;
using ui::ControlKind;
using ui::DialogTemplate;

const DialogTemplate& CanReplayTemplate() {
    using D = CCanReplayDlg;
    static const DialogTemplate dialog{
        137,
        "",
        460,
        260,
        {
            Group("回放设置（目前仅支持alog文件回放）", {6, 4, 448, 60}),
            Label("文件名称（16个字符）：", {12, 18, 90, 10}),
            Edit(D::IDC_EDIT_FILE_NAME, {104, 16, 90, 12}),
            Label(".alog", {196, 18, 24, 10}),
            Label("次数：", {226, 18, 24, 10}),
            Edit(D::IDC_EDIT_TIMES, {250, 16, 40, 12}, ui::STYLE_NUMBER),
            Label("间隔：", {296, 18, 24, 10}),
            Edit(D::IDC_EDIT_INTERVAL, {320, 16, 40, 12}, ui::STYLE_NUMBER),
            Label("秒", {362, 18, 10, 10}),
            Check(D::IDC_CHECK_CHANNEL1, CHANNEL1_ALLOWED, {12, 40, 70, 10}),
            Check(D::IDC_CHECK_CHANNEL2, CHANNEL2_ALLOWED, {86, 40, 70, 10}),
            Button(D::IDC_BUTTON_ADD, "增加规则", {330, 36, 56, 14}),
            Button(D::IDC_BUTTON_DELETE, "删除规则", {392, 36, 56, 14}),
            List(D::IDC_LIST_RULES, {6, 68, 448, 140}),
            Label("全部文件回放次数：", {12, 216, 76, 10}),
            Edit(D::IDC_EDIT_REPEAT_ALL, {90, 214, 40, 12}, ui::STYLE_NUMBER),
            Radio(D::IDC_RADIO_BY_CHANNEL, REPLAY_SEND_MODE_NAMES[0], {12, 234, 150, 10}, true),
            Radio(D::IDC_RADIO_ALL_CAN1, REPLAY_SEND_MODE_NAMES[1], {170, 234, 80, 10}, false),
            Radio(D::IDC_RADIO_ALL_CAN2, REPLAY_SEND_MODE_NAMES[2], {256, 234, 80, 10}, false),
        }};
    return dialog;
}

}  // namespace quillon::pages
