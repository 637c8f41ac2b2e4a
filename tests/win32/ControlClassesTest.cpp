// Each control kind of the model as the system's own control: the class and
// the style bits that decide how it behaves.
#include "frontends/win32/ControlClasses.hpp"

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <gtest/gtest.h>

namespace quillon::win32 {
namespace {

struct KindRow {
    const char* name;
    ui::ControlTemplate control;
    std::variant<ClassAtom, std::u16string> windowClass;
    DWORD required;  ///< bits the item must have
    DWORD refused;   ///< bits it must not have
};

ui::ControlTemplate Control(ui::ControlKind kind, std::uint32_t style = ui::STYLE_NONE,
                            bool visible = true, bool enabled = true) {
    return {1100, kind, "文字", {}, {4, 5, 60, 12}, visible, enabled, style};
}

const KindRow KIND_ROWS[] = {
    {"PushButton", Control(ui::ControlKind::PushButton), ClassAtom::Button,
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, BS_DEFPUSHBUTTON | BS_MULTILINE},
    // The filter page's bit buttons: the label above the bit's state.
    {"MultiLineButton", Control(ui::ControlKind::PushButton, ui::STYLE_MULTILINE),
     ClassAtom::Button, BS_PUSHBUTTON | BS_MULTILINE, 0},
    {"DefaultButton", Control(ui::ControlKind::PushButton, ui::STYLE_DEFAULT_BUTTON),
     ClassAtom::Button, BS_DEFPUSHBUTTON, 0},
    // Not the automatic kinds: the model decides what is checked.
    {"CheckBoxLeftToTheModel", Control(ui::ControlKind::CheckBox), ClassAtom::Button, BS_CHECKBOX,
     BS_AUTOCHECKBOX & ~BS_CHECKBOX},
    {"RadioStartingAGroup", Control(ui::ControlKind::RadioButton, ui::STYLE_GROUP),
     ClassAtom::Button, BS_RADIOBUTTON | WS_GROUP, BS_AUTORADIOBUTTON & ~BS_RADIOBUTTON},
    {"NumberEdit", Control(ui::ControlKind::Edit, ui::STYLE_NUMBER), ClassAtom::Edit,
     ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER, ES_READONLY | ES_MULTILINE},
    {"ReadOnlyMultiLineEdit",
     Control(ui::ControlKind::Edit, ui::STYLE_READONLY | ui::STYLE_MULTILINE | ui::STYLE_VSCROLL),
     ClassAtom::Edit, ES_READONLY | ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL, ES_NUMBER},
    {"DropDownList", Control(ui::ControlKind::ComboBox), ClassAtom::ComboBox, CBS_DROPDOWNLIST, 0},
    {"SingleSelectionList", Control(ui::ControlKind::ListView), std::u16string(u"SysListView32"),
     LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 0},
    {"MultiSelectionList", Control(ui::ControlKind::ListView, ui::STYLE_MULTISELECT),
     std::u16string(u"SysListView32"), LVS_REPORT, LVS_SINGLESEL},
    {"Slider", Control(ui::ControlKind::Slider), std::u16string(u"msctls_trackbar32"), TBS_HORZ,
     TBS_VERT},
    {"Progress", Control(ui::ControlKind::ProgressBar), std::u16string(u"msctls_progress32"), 0, 0},
    {"CentredStatic", Control(ui::ControlKind::Static, ui::STYLE_CENTER), ClassAtom::Static,
     SS_CENTER | SS_NOPREFIX, 0},
    {"Frame", Control(ui::ControlKind::GroupBox), ClassAtom::Button, BS_GROUPBOX, WS_TABSTOP},
    {"RichText", Control(ui::ControlKind::RichEdit), std::u16string(RICH_EDIT_CLASS),
     ES_MULTILINE | ES_READONLY, 0},
    {"Tabs", Control(ui::ControlKind::TabControl), std::u16string(u"SysTabControl32"),
     WS_CLIPSIBLINGS, 0},
    {"Icon", Control(ui::ControlKind::Icon), ClassAtom::Static, SS_ICON, 0},
    {"Hidden", Control(ui::ControlKind::PushButton, 0, false), ClassAtom::Button, WS_CHILD,
     WS_VISIBLE},
    {"Disabled", Control(ui::ControlKind::Edit, 0, true, false), ClassAtom::Edit,
     WS_DISABLED | WS_VISIBLE, 0},
};

class ControlClassesTest : public testing::TestWithParam<KindRow> {};

TEST_P(ControlClassesTest, ClassAndStyleFollowTheKind) {
    const KindRow& row = GetParam();
    const TemplateItem item = ItemFor(row.control);
    EXPECT_EQ(item.windowClass, row.windowClass);
    EXPECT_EQ(item.style & row.required, row.required);
    EXPECT_EQ(item.style & row.refused, 0u);
    EXPECT_EQ(item.id, 1100u);
    EXPECT_EQ(item.x, 4);
    EXPECT_EQ(item.y, 5);
    EXPECT_EQ(item.cx, 60);
    EXPECT_EQ(item.cy, 12);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ControlClassesTest, testing::ValuesIn(KIND_ROWS),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ControlClassesTitleTest, TextsGoAsUtf16AndTheIconAsTheProgramIconResource) {
    const TemplateItem text = ItemFor(Control(ui::ControlKind::Static));
    EXPECT_EQ(std::get<std::u16string>(text.title), u"文字");
    const TemplateItem icon = ItemFor(Control(ui::ControlKind::Icon));
    ASSERT_TRUE(std::holds_alternative<ResourceOrdinal>(icon.title));
    EXPECT_EQ(std::get<ResourceOrdinal>(icon.title).number, 128);
}

}  // namespace
}  // namespace quillon::win32
