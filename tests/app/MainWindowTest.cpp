#include <fstream>
#include <thread>

#include "app/CAboutDlg.hpp"
#include "app/MainWindowTemplate.hpp"
#include "platform/system/Utf8Path.hpp"
#include "protocol/SettingsFile.hpp"
#include "tests/app/MainWindowFixture.hpp"

namespace quillon::app {
namespace {

using test::MainWindowFixture;
using test::MakeFrame;
using CanPage = pages::CCan1ParaDlg;

class MainWindowTest : public MainWindowFixture {};

TEST_F(MainWindowTest, StartsAsTheTemplateShowsIt) {
    EXPECT_FALSE(window->IsWindowVisible(IDC_TAB));
    for (int id : {IDC_WRITE_PARAMETERS, IDC_READ_PARAMETERS, IDC_CONVERTER, IDC_STORAGE_INIT}) {
        EXPECT_TRUE(window->IsWindowVisible(id)) << id;
        EXPECT_FALSE(window->IsWindowEnabled(id)) << id;
        EXPECT_FALSE(window->Click(id)) << id;
    }
    EXPECT_FALSE(window->IsWindowVisible(IDC_BAUD_CALCULATOR));
    EXPECT_FALSE(window->IsWindowEnabled(IDC_BAUD_CALCULATOR));
    for (int id : {IDC_CONNECT, IDC_UPGRADE, IDC_ENTER_UPGRADE, IDC_MANUAL}) {
        EXPECT_TRUE(window->IsWindowEnabled(id)) << id;
    }
    EXPECT_EQ(window->GetDlgItemText(IDC_CONNECT), "连接设备");
    EXPECT_EQ(window->GetDlgItemText(IDC_PROGRAM_INFO), "升级模式（原始）");
    EXPECT_EQ(window->GetDlgItemText(IDC_STATUS), "     状态栏");
    EXPECT_EQ(window->GetCurSel(IDC_ADAPTER_INDEX), 0);
    EXPECT_EQ(window->GetItems(IDC_ADAPTER_INDEX).size(), 10u);
    EXPECT_EQ(window->GetItems(IDC_TAB),
              (std::vector<std::string>{
                  "CAN1基本设置", "CAN2基本设置", "系统参数设置", "CAN1高级设置", "CAN2高级设置",
                  "网桥规则设置", "数据回放设置", "DTU基础设置", "DTU高级设置", "数据调试窗口"}));
    EXPECT_TRUE(window->Page(0).IsDialogVisible());
    EXPECT_FALSE(window->Page(1).IsDialogVisible());
    EXPECT_EQ(window->SystemMenu().back().text, "关于 Quillon(&A)...");
    EXPECT_TRUE(host.Boxes().empty()) << "a missing settings file is never reported";
}

TEST_F(MainWindowTest, MissingSettingsFileShowsChannelDefaults) {
    for (CanPage* page : {&window->Can1Page(), &window->Can2Page()}) {
        EXPECT_EQ(page->GetCurSel(CanPage::IDC_COMBO_BAUD), 0);
        EXPECT_EQ(page->GetItems(CanPage::IDC_COMBO_BAUD)[0], "1000kbps");
        EXPECT_EQ(page->GetDlgItemText(CanPage::IDC_EDIT_BTR0), "0");
        EXPECT_EQ(page->GetDlgItemText(CanPage::IDC_EDIT_BTR1), "3c");
        EXPECT_FALSE(page->IsWindowEnabled(CanPage::IDC_EDIT_BTR0));
        EXPECT_EQ(page->IsDlgButtonChecked(CanPage::IDC_CHECK_ENABLE), ui::BST_CHECKED);
        EXPECT_EQ(page->GetItemCount(CanPage::IDC_LIST_FILTERS), 0);
    }
    EXPECT_EQ(window->BridgePage().GetItemCount(pages::CBridgeRuleDialog::IDC_LIST_RULES), 0);
    EXPECT_EQ(window->Can1Page().Record().btr0, 0x00);
    EXPECT_EQ(window->Can1Page().Record().btr1, 0x3C);
}

TEST_F(MainWindowTest, StatusLineNamesTheSectionsALoadReset) {
    protocol::SettingsSections sections;
    sections.bridge.bridgeFlags = 0x0C;
    sections.replay.auxValue = 9;
    ASSERT_TRUE(protocol::WriteSettingsFile(window->SettingsPath(), sections));
    const auto whole = protocol::EncodeSettings(sections);
    struct Row {
        const char* name;
        std::vector<std::size_t> corruptOffsets;
        std::string status;
    };
    const Row rows[] = {
        {"whole file", {}, "     状态栏"},
        {"damaged bridge", {936 + 2}, "设置文件损坏，已恢复初始值: 网桥规则设置"},
        {"damaged system, bridge and replay",
         {656 + 3, 936 + 2, 1380 + 8},
         "设置文件损坏，已恢复初始值: 系统参数设置、网桥规则设置、数据回放设置"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto bytes = whole;
        for (const std::size_t offset : row.corruptOffsets) {
            bytes[offset] ^= 0x01;
        }
        std::ofstream(window->SettingsPath(), std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        CreateWindow();
        EXPECT_EQ(window->GetDlgItemText(IDC_STATUS), row.status);
        EXPECT_EQ(window->SettingsResets().size(), row.corruptOffsets.size());
        EXPECT_EQ(window->BridgePage().Record().bridgeFlags, row.corruptOffsets.empty() ? 0x0C : 0);
        EXPECT_TRUE(host.Boxes().empty()) << "the status line, no box";
    }
    // The labels are the captions of the pages the sections are edited on.
    const auto tabs = window->GetItems(IDC_TAB);
    for (std::size_t i = 0; i < protocol::SETTINGS_SECTION_COUNT; ++i) {
        EXPECT_EQ(tabs.at(i), protocol::SETTINGS_SECTION_NAMES[i].label);
    }
}

TEST_F(MainWindowTest, ConnectOpensStartsAndLaterClosesTheChosenIndex) {
    Connect(3);
    EXPECT_EQ(window->GetDlgItemText(IDC_CONNECT), "断开设备");
    window->Click(IDC_CONNECT);
    EXPECT_FALSE(window->IsRunning());
    EXPECT_EQ(window->GetDlgItemText(IDC_CONNECT), "连接设备");
    const auto opens = adapter.Bus().CallsNamed("Open");
    const auto starts = adapter.Bus().CallsNamed("StartCAN");
    const auto closes = adapter.Bus().CallsNamed("Close");
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].index, 3u);
    ASSERT_EQ(starts.size(), 1u) << "channel 1 is not started";
    EXPECT_EQ(starts[0].index, 3u);
    EXPECT_EQ(starts[0].channel, 0u);
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(closes[0].index, 3u);
    EXPECT_EQ(system.sleeper.CountOf(500), 0u) << "the close, not a pause, ends the thread";
}

TEST_F(MainWindowTest, UpgradeWhileDisconnectedOpensAdapterZeroWithoutInitialisingIt) {
    window->SetCurSel(IDC_ADAPTER_INDEX, 3);  // the upgrade uses adapter 0 whatever is chosen
    const auto image = system.directory.Path() / "image.bin";
    std::ofstream(image, std::ios::binary) << "0123456789";
    host.AnswerNextFileDialogs({image.string()});
    ASSERT_TRUE(window->Click(IDC_UPGRADE));

    EXPECT_TRUE(window->IsRunning());
    EXPECT_EQ(window->GetDlgItemText(IDC_CONNECT), "断开设备");
    std::vector<std::string> setup;
    for (const auto& call : adapter.Bus().Calls()) {
        if (call.name != "Transmit" && call.name != "Receive" && call.name != "ReadErrInfo") {
            setup.push_back(call.name + " " + std::to_string(call.index) + "/" +
                            std::to_string(call.channel));
        }
    }
    EXPECT_EQ(setup, (std::vector<std::string>{"Open 0/0", "StartCAN 0/0"}))
        << "no InitCAN before the upgrade";
    EXPECT_EQ(adapter.Bus().CallsNamed("Transmit").size(), 4u) << "erase, program, two data";
    EXPECT_TRUE(host.Boxes().empty());

    // The receive thread the upgrade started hands the device's frames over.
    DeviceSends(0, {MakeFrame(3, false, {0x02, 0x00, 0x0C, 0x00})});
    EXPECT_EQ(window->Identity().firmwareVersion, 12u);
    window->Click(IDC_CONNECT);
    EXPECT_FALSE(window->IsRunning());
    ASSERT_EQ(adapter.Bus().CallsNamed("Close").size(), 1u);
    EXPECT_EQ(adapter.Bus().CallsNamed("Close")[0].index, 0u);
}

TEST_F(MainWindowTest, FailedOpenWarnsAndStaysDisconnected) {
    adapter.Bus().FailOpen(true);
    window->Click(IDC_CONNECT);
    EXPECT_FALSE(window->IsRunning());
    EXPECT_EQ(window->GetDlgItemText(IDC_CONNECT), "连接设备");
    ASSERT_EQ(host.Boxes().size(), 1u);
    EXPECT_EQ(host.Boxes()[0],
              (test::RecordedBox{IDD_MAIN_WINDOW, "打开设备失败!", "警告", ui::MB_ICONQUESTION}));
    EXPECT_TRUE(adapter.Bus().CallsNamed("StartCAN").empty());
}

TEST_F(MainWindowTest, ReceiveThreadDrainsFiftyAtATimeAndPollsChannelOneBetween) {
    std::vector<CanFrameRecord> burst;
    for (std::uint32_t i = 0; i < 120; ++i) {
        burst.push_back(MakeFrame(0xF0, false, {0x41}, 1));
    }
    adapter.Bus().Deliver(0, burst);
    Connect();
    ASSERT_TRUE(adapter.Bus().WaitFor([&] { return window->FramesHandled() >= 120; }));
    window->Click(IDC_CONNECT);

    std::vector<std::pair<std::uint32_t, std::int64_t>> receives;
    for (const auto& call : adapter.Bus().CallsNamed("Receive")) {
        receives.emplace_back(call.channel, call.result);
    }
    ASSERT_GE(receives.size(), 6u);
    const std::vector<std::pair<std::uint32_t, std::int64_t>> expected = {{0, 50}, {1, 0},  {0, 50},
                                                                          {1, 0},  {0, 20}, {1, 0}};
    EXPECT_EQ(std::vector(receives.begin(), receives.begin() + 6), expected);
    EXPECT_FALSE(adapter.Bus().CallsNamed("ReadErrInfo").empty())
        << "an empty receive reads the error record";
}

TEST_F(MainWindowTest, ClosingWhileConnectedEndsTheThreadAndClosesTheAdapter) {
    Connect(2);
    window->Command(ui::IDCANCEL);
    EXPECT_TRUE(window->IsEnded());
    EXPECT_FALSE(window->IsRunning());
    const auto calls = adapter.Bus().Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().name, "Close") << "nothing reaches the adapter after it was closed";
    EXPECT_EQ(calls.back().index, 2u);
    window.reset();
    EXPECT_EQ(adapter.Bus().CallsNamed("Close").size(), 1u);
}

TEST_F(MainWindowTest, DestroyingAConnectedWindowStopsTheThreadFirst) {
    Connect();
    window.reset();
    const auto receivesAfterClose = [&] {
        const auto calls = adapter.Bus().Calls();
        return calls.back().name;
    }();
    EXPECT_EQ(receivesAfterClose, "Close");
}

TEST_F(MainWindowTest, SwitchingTabsKeepsTypedValues) {
    auto& can1 = window->Can1Page();
    auto& can2 = window->Can2Page();
    can2.Record().btr0 = 0x12;
    can2.Record().baudIndex = 7;
    can2.LoadFromRecord();
    window->ShowWindow(IDC_TAB, true);
    can1.SetDlgItemText(CanPage::IDC_EDIT_ID_START, "7FF");
    ASSERT_TRUE(window->SelectItem(IDC_TAB, 1));
    EXPECT_FALSE(can1.IsDialogVisible());
    EXPECT_TRUE(can2.IsDialogVisible());
    EXPECT_EQ(can2.GetDlgItemText(CanPage::IDC_EDIT_BTR0), "12");
    ASSERT_TRUE(window->SelectItem(IDC_TAB, 0));
    EXPECT_EQ(can1.GetDlgItemText(CanPage::IDC_EDIT_ID_START), "7FF")
        << "the value typed on tab 0 was taken into its variables and shown again";
}

// One record: each page edits its section of the window's record in place,
// so what a page holds and what is saved or written are one and the same.
TEST_F(MainWindowTest, PagesEditTheSectionsOfTheWindowsOneRecord) {
    auto& record = window->Record();
    EXPECT_EQ(&window->Can1Page().Record(), &record.can1);
    EXPECT_EQ(&window->Can2Page().Record(), &record.can2);
    EXPECT_EQ(&window->SystemRecord(), &record.sys);
    EXPECT_EQ(&window->Advanced1Page().Record(), &record.filters1);
    EXPECT_EQ(&window->Advanced2Page().Record(), &record.filters2);
    EXPECT_EQ(&window->BridgePage().Record(), &record.bridge);
    EXPECT_EQ(&window->ReplayPage().Record(), &record.replay);
}

TEST_F(MainWindowTest, ParamsReadyRefreshesSilentlyUnlessAReadIsPending) {
    window->SendMessage(WM_APP_PARAMS_READY);
    EXPECT_TRUE(host.Boxes().empty());
    Connect();
    window->Click(IDC_READ_PARAMETERS);  // disabled: nothing happens
    window->ReadParameters();
    EXPECT_TRUE(window->ReadPending());
    window->PostMessage(WM_APP_PARAMS_READY);
    host.PumpMessages();
    EXPECT_TRUE(host.Boxes().empty()) << "no completion yet: the read is not over";
    DeviceSends(0, WholeAnswer(0));
    DeviceSends(1, WholeAnswer(1));
    ASSERT_TRUE(AwaitReadVerdict());
    window->PostMessage(WM_APP_PARAMS_READY);
    host.PumpMessages();
    ASSERT_EQ(host.Boxes().size(), 1u);
    EXPECT_EQ(host.Boxes()[0], (test::RecordedBox{IDD_MAIN_WINDOW, "读取设备参数成功!", "通知",
                                                  ui::MB_ICONQUESTION}));
    EXPECT_FALSE(window->ReadPending());
}

TEST_F(MainWindowTest, SystemMenuOpensTheAboutBox) {
    int shown = 0;
    host.SetModalScript([&shown](ui::Dialog& dialog) {
        ++shown;
        EXPECT_EQ(dialog.Template().number, IDD_ABOUTBOX);
        EXPECT_EQ(dialog.Template().caption, "关于 Quillon");
        EXPECT_EQ(dialog.GetDlgItemText(ui::IDOK), "确定");
        dialog.Command(ui::IDCANCEL);  // Escape
    });
    window->SendMessage(WM_SYSCOMMAND, IDM_ABOUTBOX | 0x3);
    EXPECT_EQ(shown, 1);
    window->SendMessage(WM_SYSCOMMAND, 0xF020);  // minimise: default handling
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(window->IsEnded());
}

// The sibling programs' files as the system names programs.
#ifdef _WIN32
constexpr const char* PROGRAM_SUFFIX = ".exe";
#else
constexpr const char* PROGRAM_SUFFIX = "";
#endif

TEST_F(MainWindowTest, SiblingToolsAndManualAreFoundBesideTheProgram) {
    const auto dir = system.services.programDirectory;
    const auto program = [&dir](const std::string& name) { return dir / (name + PROGRAM_SUFFIX); };
    const auto installed = dir.parent_path() / "share" / "doc" / "quillon";
    // From UTF-8, as the window names it: a narrow literal would go through
    // the system's code page on Windows.
    const auto manual = sys::PathFromUtf8("升级使用手册.pdf");
    system.launcher.Allow(program("Logmorph"));
    window->StartConverter();
    EXPECT_TRUE(host.Boxes().empty()) << "only the first start failed: no message";
    window->StartBaudCalculator();
    window->OpenManual();
    EXPECT_EQ(
        system.launcher.Attempts(),
        (std::vector<std::filesystem::path>{program("Refold"), program("Logmorph"),
                                            program("Baudly"), dir / manual, installed / manual}));
    ASSERT_EQ(host.Boxes().size(), 2u);
    EXPECT_EQ(host.Boxes()[0].text, "打开波特率计算程序失败!");
    EXPECT_EQ(host.Boxes()[1].caption, "帮助");
    window->StartConverter();
    EXPECT_EQ(host.Boxes().size(), 2u);
}

}  // namespace
}  // namespace quillon::app
