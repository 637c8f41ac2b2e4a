// The adapter dialog in the window: opened from the window menu beside the
// about item, listing what `quillon-cli adapters` lists, applied with OK.
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolTip>
#include <fstream>
#include <sstream>

#include "app/CAdapterDlg.hpp"
#include "frontends/adapters/AdapterDiscovery.hpp"
#include "frontends/adapters/BuildBackends.hpp"
#include "frontends/qt/ListViewSync.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "tests/qt/GuiFixture.hpp"

namespace quillon::gui {
namespace {

class AdapterDialogGuiTest : public test::GuiFixture {
  protected:
    void TearDown() override {
        kelvix::SetAdapterSpecOverride({});
        test::GuiFixture::TearDown();
    }
    QAction* MenuItem(const QString& text) const {
        for (QAction* action : view->WindowMenu().actions()) {
            if (action->text() == text) {
                return action;
            }
        }
        return nullptr;
    }
};

TEST_F(AdapterDialogGuiTest, MenuItemSitsBesideTheAboutItem) {
    Open(false);
    const auto actions = view->WindowMenu().actions();
    const auto about = actions.indexOf(MenuItem("关于 Quillon(&A)..."));
    const auto adapter = actions.indexOf(MenuItem("选择适配器(&D)..."));
    ASSERT_GE(about, 0);
    EXPECT_EQ(adapter, about + 1);
}

TEST_F(AdapterDialogGuiTest, ChoiceFromTheListIsUsedAndSaved) {
    adapters::RegisterBuildBackends();  // as the program does at start
    Open(false);
    const auto listings = adapters::CollectListings(adapters::DefaultAdapterDiscovery());
    int rows = -1;
    QString title;
    watcher.OnDialogShown([&](DialogWindow& dialog) {
        title = dialog.windowTitle();
        auto* list = qobject_cast<QTableWidget*>(dialog.View().Widget(app::IDC_ADAPTER_LIST));
        auto* spec = qobject_cast<QLineEdit*>(dialog.View().Widget(app::IDC_ADAPTER_SPEC));
        ASSERT_TRUE(list != nullptr && spec != nullptr);
        rows = list->rowCount();
        for (const auto& optional : adapters::OptionalBackends()) {
            EXPECT_FALSE(
                list->findItems(QString::fromStdString(optional.name), Qt::MatchExactly).empty())
                << optional.name << " is offered in the window as on the command line";
        }
        const auto found = list->findItems("sim", Qt::MatchExactly);
        ASSERT_FALSE(found.empty());
        list->selectRow(found.front()->row());
        dialog.View().Flush();
        EXPECT_EQ(spec->text(), "sim");
        QTest::keyClicks(spec, ":type=2,fw=12");
        QTest::mouseClick(qobject_cast<QPushButton*>(dialog.View().Widget(ui::IDOK)),
                          Qt::LeftButton);
    });
    MenuItem("选择适配器(&D)...")->trigger();  // returns once the dialog has closed

    EXPECT_EQ(title, "选择适配器");
    EXPECT_EQ(rows, static_cast<int>(listings.size()));
    EXPECT_EQ(kelvix::CurrentAdapterSpec(), "sim:type=2,fw=12") << "used for the next connect";
    std::ifstream conf(system.directory.Path() / "kelvix.conf");
    std::stringstream text;
    text << conf.rdbuf();
    EXPECT_EQ(text.str(), "sim:type=2,fw=12\n");
    EXPECT_FALSE(window->IsEnded());
}

// No text is cut off without a way to read it: the backend and setting
// columns fit their texts, and a reason wider than its column shows whole
// as the cell's tooltip.
TEST_F(AdapterDialogGuiTest, EveryTextCanBeReadWhole) {
    Open(false);
    const std::string longReason = "this system has no raw CAN sockets (" + std::string(120, 'x') +
                                   "); the can and can_raw kernel modules are needed";
    std::vector<kelvix::InterfaceListing> listings = {
        {"socketcan", "", "raw CAN sockets", longReason},
        {"brindle", "brindle", "Brindle driver with a simulated USB adapter", ""},
        {"qcanbus", "qcanbus:virtualcan:can0", "Qt Virtual CAN bus", ""},
        {"dll", "dll:PATH", "any adapter library exporting the eight VCI_* calls", "needs a path",
         true},
    };
    app::CAdapterDlg model(
        host, listings, "sim",
        {[](const std::string&) {},
         [](const std::string&) { return protocol::SaveResult::Success("kelvix.conf"); }});
    bool shown = false;
    watcher.OnDialogShown([&](DialogWindow& dialog) {
        shown = true;
        auto* list = qobject_cast<QTableWidget*>(dialog.View().Widget(app::IDC_ADAPTER_LIST));
        ASSERT_TRUE(list != nullptr);
        for (int row = 0; row < list->rowCount(); ++row) {
            for (int column : {0, 1}) {
                const QPoint cell = list->visualRect(list->model()->index(row, column)).center();
                EXPECT_TRUE(ElidedCellText(*list, cell).isEmpty())
                    << list->item(row, column)->text().toStdString() << " is cut off";
            }
        }
        const QString reason = list->item(0, 2)->text();
        const QPoint cell = list->visualRect(list->model()->index(0, 2)).center();
        EXPECT_EQ(ElidedCellText(*list, cell), reason);
        QHelpEvent help(QEvent::ToolTip, cell, list->viewport()->mapToGlobal(cell));
        QApplication::sendEvent(list->viewport(), &help);
        EXPECT_EQ(QToolTip::text(), reason) << "the whole reason";
        EXPECT_TRUE(reason.endsWith(QString::fromUtf8("，需要 can 和 can_raw 内核模块")))
            << reason.toStdString();
        QTest::mouseClick(qobject_cast<QPushButton*>(dialog.View().Widget(ui::IDCANCEL)),
                          Qt::LeftButton);
    });
    model.DoModal();
    EXPECT_TRUE(shown);
}

}  // namespace
}  // namespace quillon::gui
