#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <thread>

#include "app/CAboutDlg.hpp"
#include "frontends/qt/AppearanceSetup.hpp"
#include "frontends/qt/GuiOptions.hpp"
#include "frontends/qt/TabControlWidget.hpp"
#include "tests/qt/GuiFixture.hpp"

namespace quillon::gui {
namespace {

using app::IDC_CONNECT;
using CanPage = pages::CCan1ParaDlg;
using test::RunUntil;

class MainWindowGuiTest : public test::GuiFixture {
  protected:
    void ClickTab(int tab) {
        QTabBar* bar = MainWidget<TabControlWidget>(app::IDC_TAB)->Bar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
        ASSERT_TRUE(RunUntil([&] { return view->PageView(tab).isVisible(); }));
    }
    static void ChooseRow(QComboBox* combo, int row) {
        for (int i = combo->currentIndex(); i < row; ++i) {
            QTest::keyClick(combo, Qt::Key_Down);
        }
    }
};

TEST_F(MainWindowGuiTest, ConnectButtonConnectsAndIsRelabelled) {
    Open(false);
    auto* connect = MainWidget<QPushButton>(IDC_CONNECT);
    ASSERT_NE(connect, nullptr);
    EXPECT_EQ(connect->text(), "连接设备");

    QTest::mouseClick(connect, Qt::LeftButton);
    EXPECT_TRUE(window->IsRunning());
    ASSERT_EQ(adapter.Bus().CallsNamed("Open").size(), 1u);
    EXPECT_TRUE(RunUntil([&] { return connect->text() == "断开设备"; }));

    QTest::mouseClick(connect, Qt::LeftButton);
    EXPECT_FALSE(window->IsRunning());
    EXPECT_EQ(adapter.Bus().CallsNamed("Close").size(), 1u);
    EXPECT_TRUE(RunUntil([&] { return connect->text() == "连接设备"; }));
}

TEST_F(MainWindowGuiTest, TypedValueSurvivesSwitchingTabs) {
    Open(true);
    auto* interval1 = PageWidget<QLineEdit>(0, CanPage::IDC_EDIT_INTERVAL);
    auto* interval2 = PageWidget<QLineEdit>(1, CanPage::IDC_EDIT_INTERVAL);
    ASSERT_TRUE(interval1 != nullptr && interval2 != nullptr);
    interval1->clear();
    QTest::keyClicks(interval1, "250");

    ClickTab(1);
    EXPECT_FALSE(view->PageView(0).isVisible());
    EXPECT_EQ(window->GetCurSel(app::IDC_TAB), 1);
    EXPECT_EQ(interval2->text(), "0") << "tab 1 shows its own stored value";
    interval2->clear();
    QTest::keyClicks(interval2, "75");

    ClickTab(0);
    EXPECT_EQ(interval1->text(), "250");
    EXPECT_EQ(window->Can1Page().GetDlgItemText(CanPage::IDC_EDIT_INTERVAL), "250");
    EXPECT_EQ(window->Can2Page().GetDlgItemText(CanPage::IDC_EDIT_INTERVAL), "75");
}

TEST_F(MainWindowGuiTest, FilterAddedThroughTheWidgetsIsListedWithItsTexts) {
    Open(true);
    ChooseRow(PageWidget<QComboBox>(0, CanPage::IDC_COMBO_FRAME_TYPE), 0);
    ChooseRow(PageWidget<QComboBox>(0, CanPage::IDC_COMBO_FRAME_FORMAT), 1);
    ChooseRow(PageWidget<QComboBox>(0, CanPage::IDC_COMBO_TRIGGER), 2);
    QTest::keyClicks(PageWidget<QLineEdit>(0, CanPage::IDC_EDIT_ID_START), "100");
    QTest::keyClicks(PageWidget<QLineEdit>(0, CanPage::IDC_EDIT_ID_END), "1ff");
    auto* interval = PageWidget<QLineEdit>(0, CanPage::IDC_EDIT_INTERVAL);
    interval->clear();
    QTest::keyClicks(interval, "20");
    QTest::mouseClick(PageWidget<QPushButton>(0, CanPage::IDC_BUTTON_ADD), Qt::LeftButton);

    auto* list = PageWidget<QTableWidget>(0, CanPage::IDC_LIST_FILTERS);
    ASSERT_TRUE(RunUntil([&] { return list->rowCount() == 1; }));
    const QStringList expected{"0", "数据帧", "扩展帧", "100", "1ff", "20", "常规记录"};
    const QStringList headings{"序号",          "帧格式",   "帧类型",  "帧ID起始(HEX)",
                               "帧ID结束(HEX)", "记录间隔", "触发事件"};
    ASSERT_EQ(list->columnCount(), expected.size());
    for (int column = 0; column < list->columnCount(); ++column) {
        EXPECT_EQ(list->item(0, column)->text(), expected[column]) << column;
        EXPECT_EQ(list->horizontalHeaderItem(column)->text(), headings[column]) << column;
    }
    EXPECT_EQ(list->columnWidth(0), 60);
    const auto& stored = window->Can1Page().Record();
    EXPECT_EQ(stored.filterCount, 1);
    EXPECT_EQ(stored.filters[0].idStart, 0x100u);
    EXPECT_EQ(stored.filters[0].idEnd, 0x1FFu);
    EXPECT_EQ(stored.filters[0].interval, 20);
    EXPECT_EQ(stored.filters[0].frameType, 0);
    EXPECT_EQ(stored.filters[0].frameFormat, 1);
    EXPECT_EQ(stored.filters[0].trigger, 2);
}

TEST_F(MainWindowGuiTest, DtuEditsStopTypingAtTheirLimits) {
    Open(true);
    using Basic = dtu::DTUDlg;
    using Advanced = dtu::DTUHlDlg;
    auto* address = PageWidget<QLineEdit>(7, Basic::IDC_EDIT_SERVER_ADDR);
    auto* phone = PageWidget<QLineEdit>(8, Advanced::PHONE_IDS[0]);
    ASSERT_TRUE(address != nullptr && phone != nullptr);
    EXPECT_EQ(address->maxLength(), 64) << "the widget itself stops typing";
    EXPECT_EQ(phone->maxLength(), 15);
    ClickTab(7);
    address->clear();
    QTest::keyClicks(address, QString(70, 'h'));
    EXPECT_EQ(address->text(), QString(64, 'h'));
    EXPECT_EQ(window->DtuBasicPage().GetDlgItemText(Basic::IDC_EDIT_SERVER_ADDR),
              std::string(64, 'h'));
    ClickTab(8);
    QTest::keyClicks(phone, "12345678901234567890");
    EXPECT_EQ(phone->text(), "123456789012345");
    EXPECT_EQ(window->DtuAdvancedPage().GetDlgItemText(Advanced::PHONE_IDS[0]), "123456789012345");
}

TEST_F(MainWindowGuiTest, SelectingListRowsAndDeletingGoesThroughTheModel) {
    Open(true);
    auto& page = window->Can1Page();
    for (const char* id : {"1", "2", "3"}) {
        page.TypeText(CanPage::IDC_EDIT_ID_START, id);
        page.Click(CanPage::IDC_BUTTON_ADD);
    }
    auto* list = PageWidget<QTableWidget>(0, CanPage::IDC_LIST_FILTERS);
    ASSERT_TRUE(RunUntil([&] { return list->rowCount() == 3; }));
    list->selectRow(0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      list->visualItemRect(list->item(2, 0)).center());
    EXPECT_EQ(page.GetSelectedRows(CanPage::IDC_LIST_FILTERS), (std::vector<int>{0, 2}));

    QTest::mouseClick(PageWidget<QPushButton>(0, CanPage::IDC_BUTTON_DELETE), Qt::LeftButton);
    ASSERT_TRUE(RunUntil([&] { return list->rowCount() == 1; }));
    EXPECT_EQ(list->item(0, 3)->text(), "2");
    EXPECT_EQ(list->item(0, 0)->text(), "0");
}

TEST_F(MainWindowGuiTest, QtsOwnDialogsSpeakChinese) {
    QTranslator* translator = InstallQtChineseTranslation(*QCoreApplication::instance());
    ASSERT_NE(translator, nullptr) << "qtbase_zh_CN is not installed";
    const QDialogButtonBox buttons(QDialogButtonBox::Open | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text().toStdString(), "取消");
    EXPECT_EQ(buttons.button(QDialogButtonBox::Open)->text().toStdString(), "打开");
    QCoreApplication::removeTranslator(translator);
    delete translator;
}

// The window keeps its settings where --settings-dir says, and says where at start.
TEST_F(MainWindowGuiTest, SettingsDirOptionIsWhereTheWindowSavesAndIsShownAtStart) {
    const auto directory = system.directory.Path() / "cfg";
    std::filesystem::create_directories(directory);
    int exitCode = -1;
    const auto options = ParseGuiOptions(
        {"quillon", "--settings-dir", QString::fromStdString(directory.string())}, exitCode);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->settingsDir, directory.string());
    system.services.settingsDirectory = directory;
    window = std::make_unique<app::CQuillonDlg>(host, system.services);
    window->Create();
    WindowFactory(host, DialogUnits(QApplication::font()), *options).Create(*window);
    EXPECT_EQ(window->GetDlgItemText(app::IDC_STATUS), "设置目录: " + directory.string());
    window->WriteParameters();  // not connected: saves the files only
    for (const char* name : {"QXCfg.dat", "QXCfgDTU.dat", "QXCfgDTUHL.dat"}) {
        EXPECT_TRUE(std::filesystem::is_regular_file(directory / name)) << name;
        EXPECT_FALSE(std::filesystem::exists(system.services.programDirectory / name)) << name;
    }
}

struct ShowPagesRow {
    const char* name;
    bool showPages;

    friend void PrintTo(const ShowPagesRow& row, std::ostream* out) { *out << row.name; }
};

class ShowPagesTest : public MainWindowGuiTest,
                      public ::testing::WithParamInterface<ShowPagesRow> {};

TEST_P(ShowPagesTest, OptionShowsPagesAndEnablesButtonsOnlyWhenGiven) {
    const bool on = GetParam().showPages;
    Open(on);
    EXPECT_EQ(MainWidget<TabControlWidget>(app::IDC_TAB)->isVisible(), on);
    EXPECT_EQ(view->PageView(0).isVisible(), on);
    for (int id : SHOW_PAGES_BUTTONS) {
        auto* button = MainWidget<QPushButton>(id);
        EXPECT_EQ(button->isEnabled(), on) << id;
        EXPECT_EQ(button->isVisible(), on || id != app::IDC_BAUD_CALCULATOR) << id;
        EXPECT_EQ(window->IsWindowEnabled(id), on) << id;
    }
    for (int id : {app::IDC_CONNECT, app::IDC_UPGRADE, app::IDC_ENTER_UPGRADE, app::IDC_MANUAL}) {
        EXPECT_TRUE(MainWidget<QPushButton>(id)->isEnabled()) << id;
    }
    const QSize templateSize = view->View().TemplateSize();
    EXPECT_EQ(view->height() > templateSize.height(), on) << "room for the pages";
    EXPECT_EQ(view->windowTitle().toStdString(), window->Template().caption);
}

INSTANTIATE_TEST_SUITE_P(Rows, ShowPagesTest,
                         ::testing::Values(ShowPagesRow{"AsDelivered", false},
                                           ShowPagesRow{"ShowPages", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The window menu's item shows the pages at once, and the next window the
// program makes starts with them; the item carries a check mark meanwhile.
TEST_F(MainWindowGuiTest, PagesMenuItemShowsThePagesAndTheNextWindowStartsWithThem) {
    window = std::make_unique<app::CQuillonDlg>(host, system.services);
    window->Create();
    std::unique_ptr<QWidget> made = factory.Create(*window);
    auto* first = dynamic_cast<MainWindow*>(made.get());
    ASSERT_NE(first, nullptr);
    first->show();
    const QSize templateSize = first->View().TemplateSize();
    EXPECT_EQ(first->size(), templateSize) << "as delivered: no pages";
    QAction* item = nullptr;
    for (QAction* action : first->WindowMenu().actions()) {
        if (action->text() == "显示参数页(&P)") {
            item = action;
        }
    }
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(item->isCheckable());
    emit first->WindowMenu().aboutToShow();
    EXPECT_FALSE(item->isChecked());

    item->trigger();
    auto* tabs = static_cast<TabControlWidget*>(first->View().Widget(app::IDC_TAB));
    ASSERT_TRUE(RunUntil([&] { return tabs->isVisible(); }));
    EXPECT_GT(first->height(), templateSize.height()) << "room for the pages";
    EXPECT_TRUE(
        qobject_cast<QPushButton*>(first->View().Widget(app::IDC_WRITE_PARAMETERS))->isEnabled());
    emit first->WindowMenu().aboutToShow();
    EXPECT_TRUE(item->isChecked());

    app::CQuillonDlg next(host, system.services);
    next.Create();
    std::unique_ptr<QWidget> nextWindow = factory.Create(next);
    EXPECT_TRUE(next.PagesShown());
    EXPECT_GT(nextWindow->height(), templateSize.height());

    item->trigger();
    ASSERT_TRUE(RunUntil([&] { return !tabs->isVisible(); }));
    EXPECT_EQ(first->size(), templateSize) << "back to the window as delivered";
    made.reset();
}

TEST_F(MainWindowGuiTest, AboutBoxOpensFromTheWindowMenuAndClosesWithOk) {
    Open(false);
    QString caption;
    QStringList texts;
    watcher.OnDialogShown([&](DialogWindow& about) {
        caption = about.windowTitle();
        for (auto* label : about.findChildren<QLabel*>()) {
            texts.append(label->text());
        }
        QTest::mouseClick(qobject_cast<QPushButton*>(about.View().Widget(ui::IDOK)),
                          Qt::LeftButton);
    });
    QAction* aboutItem = nullptr;
    for (QAction* action : view->WindowMenu().actions()) {
        if (action->text() == "关于 Quillon(&A)...") {
            aboutItem = action;
        }
    }
    ASSERT_NE(aboutItem, nullptr);
    aboutItem->trigger();  // returns once the modal box has closed

    EXPECT_EQ(caption, "关于 Quillon");
    EXPECT_TRUE(texts.filter("Quillon").size() >= 1) << texts.join('|').toStdString();
    EXPECT_FALSE(window->IsEnded());
    EXPECT_TRUE(view->isVisible());
}

std::size_t ThreadCount() {
    const std::filesystem::directory_iterator tasks("/proc/self/task");
    return static_cast<std::size_t>(std::distance(begin(tasks), end(tasks)));
}

TEST_F(MainWindowGuiTest, ClosingWhileConnectedLeavesNoReceiveThread) {
    Open(false);
    const std::size_t before = ThreadCount();
    QTest::mouseClick(MainWidget<QPushButton>(IDC_CONNECT), Qt::LeftButton);
    ASSERT_TRUE(window->IsRunning());
    EXPECT_EQ(ThreadCount(), before + 1);

    view->close();
    EXPECT_TRUE(window->IsEnded());
    EXPECT_FALSE(window->IsRunning());
    EXPECT_EQ(adapter.Bus().CallsNamed("Close").size(), 1u);
    // The thread was joined; the kernel may list its task a moment longer.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (ThreadCount() != before && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    EXPECT_EQ(ThreadCount(), before);
}

}  // namespace
}  // namespace quillon::gui

namespace quillon::gui {
namespace {

// Enter in a page's edit ends the typing there; the window and the typed value stay.
TEST_F(MainWindowGuiTest, EnterInAPageEditKeepsTheWindowAndTheTypedValue) {
    Open(true);
    auto* interval = PageWidget<QLineEdit>(0, CanPage::IDC_EDIT_INTERVAL);
    ASSERT_NE(interval, nullptr);
    interval->setFocus();
    interval->clear();
    QTest::keyClicks(interval, "125");
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(interval, key);
        EXPECT_FALSE(window->IsEnded()) << "key " << key;
        EXPECT_TRUE(view->isVisible());
    }
    EXPECT_EQ(window->Can1Page().GetDlgItemText(CanPage::IDC_EDIT_INTERVAL), "125");

    // Outside the pages Enter still closes the window as it always did.
    auto* combo = MainWidget<QComboBox>(app::IDC_ADAPTER_INDEX);
    ASSERT_NE(combo, nullptr);
    combo->setFocus();
    QTest::keyClick(view.get(), Qt::Key_Return);
    EXPECT_TRUE(window->IsEnded());
}

}  // namespace
}  // namespace quillon::gui
