#include "pages/CBridgeRuleDialog.hpp"
#include "pages/PageTemplates.hpp"
#include "pages/PageTexts.hpp"
#include "pages/TemplateControls.hpp"

namespace quillon::pages {

using namespace layout;
using ui::ControlKind;
using ui::DialogTemplate;

namespace {

using D = CBridgeRuleDialog;

const std::vector<std::string> TYPE_ITEMS{"数据帧", "远程帧", "任意"};
const std::vector<std::string> FORMAT_ITEMS{"扩展帧", "标准帧", "任意"};
const std::vector<std::string> LENGTH_ITEMS{"0", "1", "2", "3", "4", "5", "6", "7", "8", "不限"};

// One line of the rule frame: identifier, type, format, length and eight data boxes.
void AddFrameLine(std::vector<ui::ControlTemplate>& controls, int y, const char* heading,
                  const char* dataLabel, int idEdit, int typeCombo, int formatCombo,
                  int lengthCombo, const std::array<int, 8>& dataIds) {
    controls.push_back(Label(heading, {12, y + 2, 36, 10}));
    controls.push_back(Label("ID:0x", {48, y + 2, 22, 10}));
    controls.push_back(Edit(idEdit, {70, y, 50, 12}));
    controls.push_back(Combo(typeCombo, TYPE_ITEMS, {124, y, 46, 50}));
    controls.push_back(Combo(formatCombo, FORMAT_ITEMS, {174, y, 46, 50}));
    controls.push_back(Label("长度：", {224, y + 2, 24, 10}));
    controls.push_back(Combo(lengthCombo, LENGTH_ITEMS, {248, y, 36, 80}));
    controls.push_back(Label(dataLabel, {290, y + 2, 30, 10}));
    for (std::size_t i = 0; i < dataIds.size(); ++i) {
        controls.push_back(Edit(dataIds[i], {322 + static_cast<int>(i) * 16, y, 15, 12}));
    }
}

std::vector<ui::ControlTemplate> BridgeControls() {
    std::vector<ui::ControlTemplate> controls{Group("规则", {6, 4, 448, 96})};
    AddFrameLine(controls, 16, "数据源：", "数据 V：", D::IDC_EDIT_SRC_ID, D::IDC_COMBO_SRC_TYPE,
                 D::IDC_COMBO_SRC_FORMAT, D::IDC_COMBO_SRC_LENGTH, D::SRC_DATA_IDS);
    AddFrameLine(controls, 34, "转换后：", "数据 Y：", D::IDC_EDIT_DST_ID, D::IDC_COMBO_DST_TYPE,
                 D::IDC_COMBO_DST_FORMAT, D::IDC_COMBO_DST_LENGTH, D::DST_DATA_IDS);
    const std::vector<ui::ControlTemplate> rest{
        Label("转换方向：", {12, 56, 40, 10}),
        Combo(D::IDC_COMBO_DIRECTION, Items(BRIDGE_DIRECTION_NAMES), {54, 54, 64, 50}),
        Label("触发设置：", {124, 56, 40, 10}),
        Combo(D::IDC_COMBO_TRIGGER, Items(BRIDGE_TRIGGER_NAMES), {166, 54, 56, 50}),
        Label("K:0x", {228, 56, 18, 10}),
        Edit(D::IDC_EDIT_K, {246, 54, 24, 12}),
        Label("M:0x", {274, 56, 18, 10}),
        Edit(D::IDC_EDIT_M, {292, 54, 24, 12}),
        Label("方程：Y = KV+M", {320, 56, 60, 10}),
        Label("Y最大值：", {382, 56, 36, 10}),
        Edit(D::IDC_EDIT_Y_MAX, {420, 54, 28, 12}),
        Check(D::IDC_CHECK_CAN1_FORWARD_ALL, "CAN1全部直接转发", {12, 78, 90, 10}),
        Check(D::IDC_CHECK_CAN2_FORWARD_ALL, "CAN2全部直接转发", {106, 78, 90, 10}),
        Button(D::IDC_BUTTON_ADD, "增加规则", {330, 76, 56, 14}),
        Button(D::IDC_BUTTON_DELETE, "删除规则", {392, 76, 56, 14}),
        List(D::IDC_LIST_RULES, {6, 104, 448, 150}),
    };
    controls.insert(controls.end(), rest.begin(), rest.end());
    return controls;
}

}  // namespace

const DialogTemplate& BridgeRuleTemplate() {
    static const DialogTemplate dialog{135, "", 460, 260, BridgeControls()};
    return dialog;
}

}  // namespace quillon::pages
