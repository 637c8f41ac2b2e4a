#include <gtest/gtest.h>

#include "platform/ui/DataExchange.hpp"
#include "platform/ui/Dialog.hpp"
#include "support/ScriptedHost.hpp"

namespace quillon::ui {
namespace {

const DialogTemplate& ExchangeTemplate() {
    static const DialogTemplate tmpl{
        501,
        "",
        100,
        100,
        {
            {1, ControlKind::Edit, "", {}, {}, true, true, 0},
            {2, ControlKind::Edit, "", {}, {}, true, true, 0},
            {3, ControlKind::Edit, "", {}, {}, true, true, 0},
            {4, ControlKind::CheckBox, "", {}, {}, true, true, 0},
            {5, ControlKind::RadioButton, "", {}, {}, true, true, STYLE_GROUP},
            {6, ControlKind::RadioButton, "", {}, {}, true, true, 0},
        }};
    return tmpl;
}

class Form : public Dialog {
  public:
    explicit Form(Host& host) : Dialog(ExchangeTemplate(), host) {}
    std::string name = "start";
    int count = 0;
    int size = 1;
    int ticked = 0;
    int choice = -1;

  protected:
    void DoDataExchange(DataExchange& dx) override {
        dx.Text(1, name);
        dx.Int(2, count);
        dx.Int(3, size);
        dx.IntRange(3, size, 1, 128);
        dx.Check(4, ticked);
        dx.Radio(5, choice);
    }
};

TEST(DataExchangeTest, PushAndTakeRoundTrip) {
    test::ScriptedHost host;
    Form form(host);
    form.count = -12;
    form.choice = 1;
    form.UpdateData(false);
    EXPECT_EQ(form.GetDlgItemText(2), "-12");
    EXPECT_EQ(form.IsDlgButtonChecked(6), BST_CHECKED);
    form.SetDlgItemText(1, "新名字");
    form.SetDlgItemText(2, " 42 ");
    form.CheckDlgButton(4, BST_CHECKED);
    EXPECT_TRUE(form.UpdateData(true));
    EXPECT_EQ(form.name, "新名字");
    EXPECT_EQ(form.count, 42);
    EXPECT_EQ(form.ticked, 1);
    EXPECT_EQ(form.choice, 1);
    EXPECT_TRUE(host.Boxes().empty());
}

struct BadNumber {
    const char* name;
    const char* text;
};

class NotWholeNumber : public ::testing::TestWithParam<BadNumber> {};

TEST_P(NotWholeNumber, ComplainsOnceAndKeepsEarlierFieldsTaken) {
    test::ScriptedHost host;
    Form form(host);
    form.count = 5;
    form.SetDlgItemText(1, "taken");
    form.SetDlgItemText(2, GetParam().text);
    form.SetDlgItemText(3, "77");
    EXPECT_FALSE(form.UpdateData(true));
    EXPECT_EQ(form.name, "taken") << "fields before the failing one keep their new values";
    EXPECT_EQ(form.count, 5);
    EXPECT_EQ(form.size, 1) << "fields after the failing one are untouched";
    ASSERT_EQ(host.Boxes().size(), 1u);
    EXPECT_EQ(host.Boxes()[0].text, "请输入一个整数。");
    EXPECT_EQ(host.Boxes()[0].caption, "Quillon");
    EXPECT_EQ(host.Boxes()[0].style, MB_OK | MB_ICONEXCLAMATION);
}

INSTANTIATE_TEST_SUITE_P(Texts, NotWholeNumber,
                         ::testing::Values(BadNumber{"Empty", ""}, BadNumber{"Letters", "abc"},
                                           BadNumber{"Trailing", "12x"},
                                           BadNumber{"Fraction", "1.5"},
                                           BadNumber{"Overflow", "99999999999"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DataExchangeTest, RangeComplaintNamesTheBounds) {
    test::ScriptedHost host;
    Form form(host);
    form.SetDlgItemText(2, "0");
    form.SetDlgItemText(3, "129");
    EXPECT_FALSE(form.UpdateData(true));
    ASSERT_EQ(host.Boxes().size(), 1u);
    EXPECT_EQ(host.Boxes()[0].text, "请输入一个介于 1 和 128 之间的整数。");
    EXPECT_EQ(form.ticked, 0) << "the exchange stopped at the range check";
}

}  // namespace
}  // namespace quillon::ui
