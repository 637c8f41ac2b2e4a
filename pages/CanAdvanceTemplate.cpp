#include "pages/BitPattern.hpp"
#include "pages/CCANAdvanceDlg.hpp"
#include "pages/PageTemplates.hpp"
#include "pages/PageTexts.hpp"
#include "pages/TemplateControls.hpp"

namespace quillon::pages {

using namespace layout;
using ui::ControlKind;
using ui::DialogTemplate;

namespace {

// The bit buttons in one row, the button labelled 29 at the left.
std::vector<ui::ControlTemplate> AdvanceControls() {
    using D = CCANAdvanceDlg;
    std::vector<ui::ControlTemplate> controls{
        Combo(D::IDC_COMBO_FRAME_FORMAT, Items(FRAME_FORMAT_NAMES), {10, 8, 60, 40}),
        Button(D::IDC_BUTTON_ADD, "增加", {80, 8, 50, 14}),
        Check(D::IDC_CHECK_ENABLE, "启用高级滤波器", {140, 10, 80, 10}),
        Button(D::IDC_BUTTON_DELETE, "删除选中", {230, 8, 50, 14}),
    };
    for (int label = D::BIT_COUNT; label >= 1; --label) {
        const int x = 6 + (D::BIT_COUNT - label) * 15;
        controls.push_back(Button(BitButtonId(label), BitButtonCaption(label, 'X'), {x, 30, 14, 30},
                                  ui::STYLE_MULTILINE));
    }
    controls.push_back(List(D::IDC_LIST_FILTERS, {6, 66, 448, 180}));
    return controls;
}

}  // namespace

const DialogTemplate& CanAdvanceTemplate() {
    static const DialogTemplate dialog{133, "", 460, 260, AdvanceControls()};
    return dialog;
}

}  // namespace quillon::pages
