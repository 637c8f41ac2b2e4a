#include "app/CQuillonDlg.hpp"

#include <utility>

#include "app/CAboutDlg.hpp"
#include "app/ConfigTextMenu.hpp"
#include "app/MainWindowIds.hpp"
#include "app/MainWindowTemplate.hpp"
#include "app/PagesChoice.hpp"
#include "protocol/SettingsFile.hpp"
#include "upgrade/FirmwareUpgrade.hpp"
#include "upgrade/UpgradeModeEntry.hpp"
#include "upgrade/UpgradeTexts.hpp"

namespace quillon::app {

const std::array<const char*, CQuillonDlg::PAGE_COUNT> CQuillonDlg::TAB_CAPTIONS = {
    "CAN1基本设置", "CAN2基本设置", "系统参数设置", "CAN1高级设置", "CAN2高级设置",
    "网桥规则设置", "数据回放设置", "DTU基础设置",  "DTU高级设置",  "数据调试窗口"};

CQuillonDlg::CQuillonDlg(ui::Host& host, sys::SystemServices& services,
                         const protocol::Cpc1crypt::Key& frameKey)
    : ui::Dialog(MainWindowTemplate(), host),
      services_(services),
      frameCipher_(frameKey),
      link_(services.sleeper, frameCipher_),
      can1Page_(host, *this, record_.can1, services),
      can2Page_(host, *this, record_.can2, services),
      sysPage_(host, *this, services),
      advanced1Page_(host, *this, record_.filters1, services),
      advanced2Page_(host, *this, record_.filters2, services),
      bridgePage_(host, *this, record_.bridge, services),
      replayPage_(host, *this, record_.replay, services),
      dtuBasicPage_(host, *this, services),
      dtuAdvancedPage_(host, *this, services),
      debugPage_(host, *this, services) {
    MapMessages();
}

CQuillonDlg::~CQuillonDlg() {
    if (link_.IsRunning()) {
        link_.StopReceiving();
        link_.Close();
    }
}

void CQuillonDlg::MapMessages() {
    OnCommand(IDC_CONNECT, [this] { ToggleConnection(); });
    OnCommand(IDC_WRITE_PARAMETERS, [this] { WriteParameters(); });
    OnCommand(IDC_READ_PARAMETERS, [this] { ReadParameters(); });
    OnCommand(IDC_STORAGE_INIT, [this] { InitStorage(); });
    OnCommand(IDC_UPGRADE, [this] { UpgradeFirmware(); });
    OnCommand(IDC_ENTER_UPGRADE, [this] { EnterUpgradeMode(); });
    OnCommand(IDC_BAUD_CALCULATOR, [this] { StartBaudCalculator(); });
    OnCommand(IDC_CONVERTER, [this] { StartConverter(); });
    OnCommand(IDC_MANUAL, [this] { OpenManual(); });
    OnCommand(ui::IDOK, [this] { CloseWindow(); });
    OnCommand(ui::IDCANCEL, [this] { CloseWindow(); });
    OnNotify(IDC_TAB, ui::TCN_SELCHANGING, [] { return 0; });
    OnNotify(IDC_TAB, ui::TCN_SELCHANGE, [this] {
        SwitchPage(GetCurSel(IDC_TAB));
        return 0;
    });
    OnMessage(WM_APP_PARAMS_READY, [this](ui::WPARAM, ui::LPARAM) {
        RefreshPages();
        return 0;
    });
    OnMessage(WM_APP_DEBUG_SEND, [this](ui::WPARAM, ui::LPARAM) {
        return static_cast<ui::LRESULT>(debugPage_.SendToDevice(services_.codePages.oem, link_));
    });
    OnMessage(WM_SYSCOMMAND, [this](ui::WPARAM command, ui::LPARAM) {
        OnSysCommand(static_cast<unsigned>(command));
        return 0;
    });
}

ui::Dialog& CQuillonDlg::Page(int tab) {
    std::array<ui::Dialog*, PAGE_COUNT> pages = {
        &can1Page_,   &can2Page_,   &sysPage_,      &advanced1Page_,   &advanced2Page_,
        &bridgePage_, &replayPage_, &dtuBasicPage_, &dtuAdvancedPage_, &debugPage_};
    return *pages.at(static_cast<std::size_t>(tab));
}

std::array<ui::Dialog*, 6> CQuillonDlg::RecordPages() {
    return {&can1Page_, &can2Page_, &sysPage_, &advanced1Page_, &advanced2Page_, &bridgePage_};
}

bool CQuillonDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    systemMenu_ = {{"", 0},
                   {PAGES_MENU_TEXT, IDM_SHOWPAGES, true},
                   {EXPORT_CONFIG_MENU_TEXT, IDM_EXPORTCONFIG},
                   {IMPORT_CONFIG_MENU_TEXT, IDM_IMPORTCONFIG},
                   {ABOUT_MENU_TEXT, IDM_ABOUTBOX}};
    pagesShown_ = false;
    CreatePages();
    sysPage_.SetStartupState();
    SetCurSel(IDC_ADAPTER_INDEX, 0);
    link_.SetCanIndex(0);
    readPending_ = false;
    can1Page_.CreateListColumns();
    can2Page_.CreateListColumns();
    advanced1Page_.CreateListColumns();
    advanced2Page_.CreateListColumns();
    bridgePage_.CreateListColumns();
    replayPage_.CreateListColumns();
    LoadSettings();
    RefreshPages();
    advanced1Page_.InitSelectors();
    advanced2Page_.InitSelectors();
    bridgePage_.InitSelectors();
    storageInitPending_ = false;
    debugPage_.SetDefaults();
    advanced1Page_.UpdateData(false);
    ShowWindow(IDC_TAB, false);
    SetDlgItemText(IDC_PROGRAM_INFO, upgrade::MODE_RAW);
    return true;
}

void CQuillonDlg::CreatePages() {
    ResetContent(IDC_TAB);
    for (const char* caption : TAB_CAPTIONS) {
        AddString(IDC_TAB, caption);
    }
    for (int tab = 0; tab < PAGE_COUNT; ++tab) {
        Page(tab).Create();
        Page(tab).ShowDialog(tab == 0);
    }
    SetCurSel(IDC_TAB, 0);
}

void CQuillonDlg::SwitchPage(int tab) {
    auto recordPages = RecordPages();
    for (int i = 0; i < static_cast<int>(recordPages.size()); ++i) {
        if (i != tab) {
            recordPages[static_cast<std::size_t>(i)]->UpdateData(true);
        }
    }
    for (int i = 0; i < PAGE_COUNT; ++i) {
        Page(i).ShowDialog(i == tab);
    }
    if (tab >= 0 && tab < static_cast<int>(recordPages.size())) {
        recordPages[static_cast<std::size_t>(tab)]->UpdateData(false);
    }
    replayPage_.UpdateData(false);
    if (tab >= 6 && tab <= 9) {
        for (auto* page : recordPages) {
            page->UpdateData(true);
        }
    }
}

void CQuillonDlg::RefreshPages() {
    ++refreshCount_;
    can1Page_.LoadFromRecord();
    can2Page_.LoadFromRecord();
    sysPage_.ShowRecord(record_.sys);
    can1Page_.UpdateData(false);
    can2Page_.UpdateData(false);
    sysPage_.UpdateData(false);
    advanced1Page_.RefreshList();
    advanced2Page_.RefreshList();
    bridgePage_.RefreshList();
    replayPage_.RefreshList();
}

std::filesystem::path CQuillonDlg::SettingsPath() const {
    return services_.SettingsDirectory() / protocol::SETTINGS_FILE_NAME;
}

void CQuillonDlg::LoadSettings() {
    settingsResets_ = protocol::LoadSettingsFile(SettingsPath(), record_);
    ShowSettingsResets();
    can1Page_.ApplyBaudTable();
    can2Page_.ApplyBaudTable();
    advanced1Page_.RefreshList();
    advanced2Page_.RefreshList();
    bridgePage_.RefreshList();
    replayPage_.RefreshList();
    dtuAdvancedPage_.LoadDtuAdv();
    dtuBasicPage_.LoadDtuBasic();
}

protocol::SaveResult CQuillonDlg::SaveSettings() {
    can1Page_.StoreToRecord();
    can2Page_.StoreToRecord();
    // No message box for a failed save, as the program has always been silent
    // about its settings file; the write reports it on the status line, and
    // the previous file stays whole.
    settingsSave_ = protocol::WriteSettingsFile(SettingsPath(), record_);
    return settingsSave_;
}

std::vector<protocol::SaveResult> CQuillonDlg::SaveFailures() const {
    std::vector<protocol::SaveResult> failures;
    for (const auto* result :
         {&dtuBasicPage_.LastSave(), &dtuAdvancedPage_.LastSave(), &settingsSave_}) {
        if (!*result) {
            failures.push_back(*result);
        }
    }
    return failures;
}

void CQuillonDlg::ShowSaveFailures() {
    const auto failures = SaveFailures();
    if (!failures.empty()) {
        SetDlgItemText(IDC_STATUS, STATUS_SAVE_FAILED + failures.front().message);
    }
}

// The program has always reset damaged sections without a word; the status
// line says which, so the user does not send starting values unawares.
void CQuillonDlg::ShowSettingsResets() {
    std::string labels;
    for (const auto section : settingsResets_) {
        labels += (labels.empty() ? "" : "、") + std::string(protocol::SectionLabel(section));
    }
    if (!labels.empty()) {
        SetDlgItemText(IDC_STATUS, STATUS_SETTINGS_RESET + labels);
    }
}

CommandResult CQuillonDlg::Warn(std::string_view text, bool succeeded) {
    CommandResult result{succeeded, std::string(text), CAPTION_WARNING, ui::MB_ICONQUESTION, {}};
    MessageBox(result.text, result.caption, result.style);
    return result;
}

void CQuillonDlg::ToggleConnection() {
    if (link_.IsRunning()) {
        link_.StopReceiving([this] {
            GetHost().WaitForMessage(std::chrono::milliseconds(5));
            GetHost().PumpMessages();
        });
        SetDlgItemText(IDC_CONNECT, "连接设备");
        link_.Close();
        return;
    }
    identity_.deviceType = 0;
    UpdateData(true);
    const int selected = GetCurSel(IDC_ADAPTER_INDEX);
    const auto index = static_cast<std::uint32_t>(selected < 0 ? 0 : selected);
    if (!link_.Open(index)) {
        Warn("打开设备失败!");
        return;
    }
    StartReceiving();
    SetDlgItemText(IDC_CONNECT, "断开设备");
}

void CQuillonDlg::ConnectForUpgrade() {
    link_.OpenForUpgrade();
    StartReceiving();
    SetDlgItemText(IDC_CONNECT, "断开设备");
}

void CQuillonDlg::StartReceiving() {
    // The ends of the passes matter only while a read waits for its verdict;
    // posted after the pass's frames, they reach the judge in order.
    link_.StartReceiving(
        [this](std::uint32_t channel, const CanFrameRecord& frame) { HandleFrame(channel, frame); },
        [this](std::size_t framesReceived) {
            if (readPending_) {
                GetHost().PostTask(*this,
                                   [this, framesReceived] { ReceivePassEnded(framesReceived); });
            }
        });
}

CommandResult CQuillonDlg::UpgradeFirmware(const upgrade::UpgradeObserver* observer) {
    if (upgradeRunning_) {
        return {};  // clicked again while it pumps: the running upgrade goes on
    }
    upgradeRunning_ = true;
    stopUpgrade_ = false;
    CommandResult result =
        upgrade::UpgradeFirmware(*this, *this, services_, observer, &stopUpgrade_);
    upgradeRunning_ = false;
    if (std::exchange(closeAfterUpgrade_, false)) {
        CloseWindow();
    }
    return result;
}

CommandResult CQuillonDlg::EnterUpgradeMode() {
    return upgrade::EnterUpgradeMode(*this, *this, services_);
}

void CQuillonDlg::CloseWindow() {
    if (upgradeRunning_) {
        if (!closeAfterUpgrade_ && MessageBox(upgrade::CLOSE_DURING_UPGRADE, CAPTION_WARNING,
                                              ui::MB_YESNO | ui::MB_ICONQUESTION) == ui::IDYES) {
            closeAfterUpgrade_ = true;
            stopUpgrade_ = true;
        }
        return;
    }
    if (link_.IsRunning()) {
        ToggleConnection();
    }
    EndDialog(ui::IDCANCEL);
}

void CQuillonDlg::OnSysCommand(unsigned command) {
    if ((command & 0xFFF0u) == IDM_ABOUTBOX) {
        CAboutDlg about(GetHost());
        about.DoModal();
        return;
    }
    if ((command & 0xFFF0u) == IDM_SHOWPAGES) {
        ShowParameterPages(!pagesShown_);
        const auto saved =
            SavePagesShown(pagesShown_, PagesChoiceFilesFor(services_.SettingsDirectory()));
        if (!saved) {
            SetDlgItemText(IDC_STATUS, STATUS_PAGES_NOT_REMEMBERED + saved.message);
        }
        return;
    }
    if ((command & 0xFFF0u) == IDM_EXPORTCONFIG) {
        ExportConfiguration();
        return;
    }
    if ((command & 0xFFF0u) == IDM_IMPORTCONFIG) {
        ImportConfiguration();
        return;
    }
    if ((command & 0xFFF0u) == SC_CLOSE) {
        CloseWindow();
    }
}

void CQuillonDlg::ShowParameterPages(bool shown) {
    pagesShown_ = shown;
    for (int id : PAGE_BUTTONS) {
        const ui::ControlTemplate* control = Template().Find(id);
        ShowWindow(id, shown || (control != nullptr && control->visible));
        EnableWindow(id, shown || (control != nullptr && control->enabled));
    }
    const ui::ControlTemplate* tab = Template().Find(IDC_TAB);
    ShowWindow(IDC_TAB, shown || (tab != nullptr && tab->visible));
}

bool CQuillonDlg::PagesRemembered() const {
    return RememberedPagesShown(PagesChoiceFilesFor(services_.SettingsDirectory()));
}

bool CQuillonDlg::MenuItemChecked(unsigned command) const {
    return (command & 0xFFF0u) == IDM_SHOWPAGES && pagesShown_;
}

}  // namespace quillon::app
