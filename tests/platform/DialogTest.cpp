#include <gtest/gtest.h>

#include <thread>

#include "platform/ui/Dialog.hpp"
#include "support/ScriptedHost.hpp"

namespace quillon::ui {
namespace {

const DialogTemplate& TestTemplate() {
    static const DialogTemplate tmpl{
        500,
        "测试",
        200,
        100,
        {
            {10, ControlKind::PushButton, "按钮", {}, {}, true, true, STYLE_NONE},
            {11, ControlKind::PushButton, "禁用", {}, {}, true, false, STYLE_NONE},
            {12, ControlKind::CheckBox, "勾选", {}, {}, true, true, STYLE_NONE},
            {20, ControlKind::RadioButton, "A", {}, {}, true, true, STYLE_GROUP},
            {21, ControlKind::RadioButton, "B", {}, {}, true, true, STYLE_NONE},
            {22, ControlKind::RadioButton, "C", {}, {}, true, true, STYLE_NONE},
            {23, ControlKind::RadioButton, "X", {}, {}, true, true, STYLE_GROUP},
            {30, ControlKind::ComboBox, "", {"a", "b", "c"}, {}, true, true, STYLE_NONE},
            {40, ControlKind::ListView, "", {}, {}, true, true, STYLE_MULTISELECT},
            {50, ControlKind::Slider, "", {}, {}, true, true, STYLE_NONE},
            {60, ControlKind::Edit, "", {}, {}, false, true, STYLE_NONE},
            {61, ControlKind::Edit, "", {}, {}, true, true, STYLE_NONE},
            {IDC_STATIC, ControlKind::Static, "标签", {}, {}, true, true, STYLE_NONE},
        }};
    return tmpl;
}

class Probe : public Dialog {
  public:
    explicit Probe(Host& host) : Dialog(TestTemplate(), host) {
        OnCommand(10, [this] { ++clicks; });
        OnCommand(11, [this] { ++clicks; });
        OnCommand(
            30, [this] { ++selections; }, CBN_SELCHANGE);
        OnNotify(50, NM_CUSTOMDRAW, [this] {
            ++draws;
            return 0;
        });
        OnMessage(WM_USER + 1, [this](WPARAM w, LPARAM l) {
            received.emplace_back(w, l);
            return static_cast<LRESULT>(w + 1);
        });
    }
    int clicks = 0;
    int selections = 0;
    int draws = 0;
    std::vector<std::pair<WPARAM, LPARAM>> received;
};

TEST(DialogTest, ControlsStartAsTheTemplateSays) {
    test::ScriptedHost host;
    Probe dialog(host);
    EXPECT_EQ(dialog.GetDlgItemText(10), "按钮");
    EXPECT_FALSE(dialog.IsWindowEnabled(11));
    EXPECT_FALSE(dialog.IsWindowVisible(60));
    EXPECT_EQ(dialog.GetItems(30), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(dialog.GetCurSel(30), -1);
    EXPECT_THROW(dialog.GetDlgItemText(999), std::out_of_range);
}

struct TypingCase {
    const char* name;
    int limit;
    const char* typed;
    const char* kept;
};

class EditLimit : public ::testing::TestWithParam<TypingCase> {};

TEST_P(EditLimit, TypedTextIsCutToTheLimitInCharacters) {
    test::ScriptedHost host;
    Probe dialog(host);
    dialog.LimitText(61, GetParam().limit);
    EXPECT_EQ(dialog.GetLimitText(61), GetParam().limit);
    EXPECT_TRUE(dialog.TypeText(61, GetParam().typed));
    EXPECT_EQ(dialog.GetDlgItemText(61), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(Typing, EditLimit,
                         ::testing::Values(TypingCase{"NoLimit", 0, "abcdefgh", "abcdefgh"},
                                           TypingCase{"ShorterThanLimit", 5, "abc", "abc"},
                                           TypingCase{"ExactlyTheLimit", 3, "abc", "abc"},
                                           TypingCase{"LongerIsCut", 3, "abcdef", "abc"},
                                           TypingCase{"WideCharactersCountOnce", 2, "回放日志",
                                                      "回放"},
                                           TypingCase{"MixedCharacters", 3, "a回bc", "a回b"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DialogTest, ProgramSetTextIsNotCutByTheTypingLimit) {
    test::ScriptedHost host;
    Probe dialog(host);
    dialog.LimitText(61, 2);
    dialog.SetDlgItemText(61, "abcdef");
    EXPECT_EQ(dialog.GetDlgItemText(61), "abcdef");
    EXPECT_EQ(dialog.State(61).textLimit, 2);
}

TEST(DialogTest, ClicksReachHandlersOnlyOnEnabledVisibleControls) {
    test::ScriptedHost host;
    Probe dialog(host);
    EXPECT_TRUE(dialog.Click(10));
    EXPECT_FALSE(dialog.Click(11));
    EXPECT_FALSE(dialog.TypeText(60, "hidden"));
    EXPECT_EQ(dialog.clicks, 1);
    EXPECT_EQ(dialog.GetDlgItemText(60), "");
}

TEST(DialogTest, CheckBoxToggleAndRadioGroupsAreExclusivePerGroup) {
    test::ScriptedHost host;
    Probe dialog(host);
    dialog.Click(12);
    EXPECT_EQ(dialog.IsDlgButtonChecked(12), BST_CHECKED);
    dialog.Click(12);
    EXPECT_EQ(dialog.IsDlgButtonChecked(12), BST_UNCHECKED);
    dialog.Click(23);
    dialog.Click(21);
    EXPECT_EQ(dialog.IsDlgButtonChecked(21), BST_CHECKED);
    EXPECT_EQ(dialog.IsDlgButtonChecked(20), BST_UNCHECKED);
    EXPECT_EQ(dialog.IsDlgButtonChecked(23), BST_CHECKED) << "another group keeps its choice";
    dialog.Click(22);
    EXPECT_EQ(dialog.IsDlgButtonChecked(21), BST_UNCHECKED);
}

TEST(DialogTest, ListRowsSelectionAndColumns) {
    test::ScriptedHost host;
    Probe dialog(host);
    dialog.InsertColumn(40, 0, "序号", 60);
    dialog.InsertColumn(40, 1, "内容", 100);
    dialog.InsertItem(40, 0, "0");
    dialog.SetItemText(40, 0, 1, "first");
    dialog.InsertItem(40, 1, "1");
    dialog.SelectRows(40, {1, 7});
    EXPECT_EQ(dialog.GetSelectedRows(40), std::vector<int>{1});
    dialog.InsertItem(40, 0, "new");
    EXPECT_EQ(dialog.GetSelectedRows(40), std::vector<int>{2}) << "selection follows its row";
    EXPECT_EQ(dialog.GetItemText(40, 1, 1), "first");
    EXPECT_EQ(dialog.GetItemText(40, 9, 0), "");
    dialog.DeleteAllItems(40);
    EXPECT_EQ(dialog.GetItemCount(40), 0);
    EXPECT_TRUE(dialog.GetSelectedRows(40).empty());
}

TEST(DialogTest, SliderClampsToItsRangeAndNotifiesWhileDragged) {
    test::ScriptedHost host;
    Probe dialog(host);
    dialog.SetRange(50, 1, 128);
    dialog.DragSlider(50, 500);
    EXPECT_EQ(dialog.GetPos(50), 128);
    EXPECT_EQ(dialog.draws, 1);
    dialog.SetPos(50, -3);
    EXPECT_EQ(dialog.GetPos(50), 1);
}

TEST(DialogTest, ComboSelectionOutOfRangeMeansNone) {
    test::ScriptedHost host;
    Probe dialog(host);
    dialog.SelectItem(30, 2);
    EXPECT_EQ(dialog.GetCurSel(30), 2);
    EXPECT_EQ(dialog.selections, 1);
    dialog.SetCurSel(30, 3);
    EXPECT_EQ(dialog.GetCurSel(30), -1);
}

TEST(DialogTest, PostedMessagesRunWhenTheHostPumpsAndSentOnesAtOnce) {
    test::ScriptedHost host;
    Probe dialog(host);
    EXPECT_EQ(dialog.SendMessage(WM_USER + 1, 4, 5), 5);
    std::thread poster([&dialog] { dialog.PostMessage(WM_USER + 1, 7, 8); });
    poster.join();
    ASSERT_EQ(dialog.received.size(), 1u) << "a posted message waits for the pump";
    EXPECT_EQ(host.PumpMessages(), 1);
    ASSERT_EQ(dialog.received.size(), 2u);
    EXPECT_EQ(dialog.received[1], (std::pair<WPARAM, LPARAM>{7, 8}));
}

TEST(DialogTest, DestroyedDialogLeavesNoQueuedMessages) {
    test::ScriptedHost host;
    {
        Probe dialog(host);
        dialog.PostMessage(WM_USER + 1, 1, 1);
        EXPECT_EQ(host.PendingMessages(), 1u);
    }
    EXPECT_EQ(host.PendingMessages(), 0u);
    EXPECT_EQ(host.PumpMessages(), 0);
}

struct CountingObserver : DialogObserver {
    void OnControlChanged(const Dialog&, int id) override { ids.push_back(id); }
    std::vector<int> ids;
};

TEST(DialogTest, ObserversHearEveryChangeWithItsControl) {
    test::ScriptedHost host;
    Probe dialog(host);
    CountingObserver observer;
    dialog.AddObserver(&observer);
    dialog.SetDlgItemText(60, "x");
    dialog.ShowDialog(true);
    dialog.RemoveObserver(&observer);
    dialog.SetDlgItemText(60, "y");
    EXPECT_EQ(observer.ids, (std::vector<int>{60, DIALOG_ITSELF}));
}

}  // namespace
}  // namespace quillon::ui
