// The main window: commands, adapter link, tab pages and the device identity.
//
// Threading: every handler runs on the user-interface thread. HandleFrame is
// the one entry point of the receive thread: it deciphers the frame, answers
// the storage-initialisation reply there, and hands every other frame to the
// user-interface thread (posted in arrival order), so the record sections,
// the identity and the pages are only ever touched by one thread.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/DeviceLink.hpp"
#include "app/MainWindowIds.hpp"
#include "app/ReadJudge.hpp"
#include "dtu/DTUDlg.hpp"
#include "dtu/DTUHlDlg.hpp"
#include "pages/CBridgeRuleDialog.hpp"
#include "pages/CCANAdvanceDlg.hpp"
#include "pages/CCan1ParaDlg.hpp"
#include "pages/CCanReplayDlg.hpp"
#include "pages/CDialogDebugMsg.hpp"
#include "pages/CSysParaDlg.hpp"
#include "platform/system/SystemServices.hpp"
#include "platform/ui/CommandResult.hpp"
#include "platform/ui/Dialog.hpp"
#include "protocol/CanPara.hpp"
#include "protocol/Cpc1crypt.hpp"
#include "protocol/DeviceIdentity.hpp"
#include "protocol/SaveResult.hpp"
#include "protocol/SettingsSections.hpp"
#include "protocol/SysPara.hpp"
#include "upgrade/UpgradeLink.hpp"
#include "upgrade/UpgradeObserver.hpp"

namespace quillon::app {

/// Status line after a parameter write whose settings files could not all be
/// saved, followed by what failed: "设置文件保存失败: cannot create ...".
inline constexpr const char* STATUS_SAVE_FAILED = "设置文件保存失败: ";
/// The window menu's item for the parameter pages, and the status line when
/// the choice could not be kept for the next start.
inline constexpr const char* PAGES_MENU_TEXT = "显示参数页(&P)";
inline constexpr const char* STATUS_PAGES_NOT_REMEMBERED = "未能记住参数页的显示: ";

/// The buttons that work on the pages (write, read, storage initialisation,
/// and the two sibling tools): shown and enabled with the pages, as the
/// template delivers them without.
inline constexpr int PAGE_BUTTONS[] = {IDC_WRITE_PARAMETERS, IDC_READ_PARAMETERS, IDC_STORAGE_INIT,
                                       IDC_CONVERTER, IDC_BAUD_CALCULATOR};

/// Status line when a parameter write is refused before its first frame
/// because the settings files could not be saved, followed by the reason.
inline constexpr const char* STATUS_CANNOT_SAVE = "设置文件无法保存，未下发参数: ";

/// Status line after a load that found sections of QXCfg.dat damaged and gave
/// them their starting values, followed by the sections' labels joined by "、":
/// "设置文件损坏，已恢复初始值: 网桥规则设置、数据回放设置".
inline constexpr const char* STATUS_SETTINGS_RESET = "设置文件损坏，已恢复初始值: ";

/// A parameter write whose every frame the adapter took (a warning box, as
/// the write's other outcomes are).
inline constexpr const char* WRITE_SUCCEEDED = "写入参数成功，请重启设备生效!";

/// The notices a parameter read ends with: every announced entry came, some
/// were lost on the way (a partial read is no success), or no completion came.
inline constexpr const char* READ_SUCCEEDED = "读取设备参数成功!";
inline constexpr const char* READ_INCOMPLETE = "读取设备参数不完整，部分数据丢失，请重新读取!";
inline constexpr const char* READ_NO_ANSWER = "读取设备参数超时，设备无应答!";

using ui::CommandResult;
using ui::SEND_FAILED;

/// The serial number as 24 upper-case hexadecimal digits, high nibble first.
std::string SerialText(const std::array<std::uint8_t, 12>& serial);

/// The name of a device type code as the identity line shows it.
std::string DeviceTypeName(std::uint8_t code);

struct SystemMenuItem {
    std::string text;  ///< empty for a separator
    unsigned command = 0;
    bool checkable = false;  ///< shows a check mark while MenuItemChecked(command)
};

class CQuillonDlg : public ui::Dialog, public upgrade::UpgradeLink {
  public:
    static constexpr int PAGE_COUNT = 10;
    /// Captions of the tabs, in tab order.
    static const std::array<const char*, PAGE_COUNT> TAB_CAPTIONS;

    CQuillonDlg(ui::Host& host, sys::SystemServices& services,
                const protocol::Cpc1crypt::Key& frameKey = protocol::FIRMWARE_KEY);
    ~CQuillonDlg() override;

    // Commands (user-interface thread).
    void ToggleConnection();
    /// The DTU write, the save and the parameter write; succeeded when all went out.
    /// Refused before anything is sent (status line only) when SettingsSaveProblem()
    /// names one: a device must never hold settings its files do not.
    CommandResult WriteParameters();
    /// Empty when all three settings files of a write can be saved where the
    /// write saves them; otherwise why the first of them cannot.
    std::string SettingsSaveProblem() const;
    /// Sends the read request; false when it did not go out (and was told).
    /// The read is judged later, on the receive thread's passes (ReadJudge).
    bool ReadParameters();
    /// Sends the read request to learn the device's identity and versions
    /// only: until EndIdentification() the replies that would change the
    /// record (parameter frames, the system reply) are dropped, so a write
    /// that follows sends what it was given. False, without a box, when the
    /// request did not go out.
    bool IdentifyDevice();
    void EndIdentification();
    /// Counts the version replies decoded; an identification waits on it.
    std::uint64_t VersionReplies() const { return versionReplies_.load(); }
    /// Why the last parameter write announced fewer recording rules than a
    /// channel holds, one text per channel cut; empty when none was.
    std::vector<std::string> RuleCountCuts() const;
    /// How long the next reads wait for their completion notice.
    void SetReadNoAnswerMs(std::uint64_t noAnswerMs) { readNoAnswerMs_ = noAnswerMs; }
    /// Asks, then sends the request; the device's answer comes later (StorageReply).
    CommandResult InitStorage();
    /// Streams a firmware image chosen in the open-file dialog; `observer`
    /// (optional) follows the progress.
    CommandResult UpgradeFirmware(const upgrade::UpgradeObserver* observer = nullptr);
    /// Re-initialises the channel for the boot loader and ends this window.
    CommandResult EnterUpgradeMode();
    /// Writes what the pages hold now (what a write would send and save) as a
    /// configuration text to a file chosen in the save-file dialog.
    CommandResult ExportConfiguration();
    /// Checks a configuration text chosen in the open-file dialog, saves it as
    /// the three settings files and reloads the pages from them as at start-up.
    /// A text with any error shows every problem in one box and changes nothing.
    CommandResult ImportConfiguration();
    void StartBaudCalculator();
    void StartConverter();
    void OpenManual();
    void OnSysCommand(unsigned command);
    /// Shows the tab control with its pages and the page buttons, or puts them
    /// back as the template delivers them.
    void ShowParameterPages(bool shown);
    bool PagesShown() const { return pagesShown_; }
    /// Whether the pages were shown when the window menu last left them.
    bool PagesRemembered() const;
    bool MenuItemChecked(unsigned command) const;
    /// Shows tab `tab`, taking and reloading page values as the tab change does.
    void SwitchPage(int tab);
    /// Shows the record sections on the pages.
    void RefreshPages();
    void LoadSettings();
    /// Writes QXCfg.dat; the result is also kept for SaveFailures().
    protocol::SaveResult SaveSettings();
    /// Closes the window; disconnects first when connected. During an upgrade it
    /// asks first; confirmed, the upgrade stops after its current frame and the
    /// window closes once it has.
    void CloseWindow();

    /// Receive thread: one received frame of `channel`, still enciphered.
    void HandleFrame(std::uint32_t channel, const CanFrameRecord& frame);

    // State, for front ends and tests.
    bool IsRunning() const override { return link_.IsRunning(); }
    void ConnectForUpgrade() override;
    DeviceLink& Link() { return link_; }
    bool ReadPending() const { return readPending_.load(); }
    bool UpgradeRunning() const { return upgradeRunning_; }
    /// What the last read brought against what it announced (user-interface thread).
    const ReadTally& LastRead() const { return readJudge_.Tally(); }
    /// Reads judged so far, and the last verdict (user-interface thread).
    std::uint64_t ReadsJudged() const { return readsJudged_; }
    std::optional<ReadVerdict> LastVerdict() const { return lastVerdict_; }
    /// True while the pending read, its completion come, waits for late frames.
    bool ReadSettling() const { return readJudge_.Settling(); }
    bool StorageInitPending() const { return storageInitPending_.load(); }
    /// The answer to the last storage initialisation, once it came.
    std::optional<CommandResult> StorageReply() const;
    const protocol::DeviceIdentity& Identity() const { return identity_; }
    protocol::SysPara& SystemRecord() { return record_.sys; }
    /// The device parameter record: the pages edit its sections, the settings
    /// file and the parameter write take it whole.
    protocol::SettingsSections& Record() { return record_; }
    protocol::CanPara& ReadBackChannel(int channel) { return readBack_.at(channel); }
    /// The settings files the last parameter write could not save (QXCfgDTU.dat,
    /// QXCfgDTUHL.dat, QXCfg.dat, in that order); empty when all were saved.
    std::vector<protocol::SaveResult> SaveFailures() const;
    /// The sections of QXCfg.dat that LoadSettings found damaged and gave their
    /// starting values, in file order; empty when the file was whole or missing.
    const std::vector<protocol::SettingsSection>& SettingsResets() const { return settingsResets_; }
    const std::vector<SystemMenuItem>& SystemMenu() const { return systemMenu_; }
    sys::SystemServices& Services() const { return services_; }
    /// The page on tab `tab` (0..9).
    ui::Dialog& Page(int tab);
    /// Counts WM_APP_PARAMS_READY messages handled; a headless read waits on it.
    std::uint64_t RefreshCount() const { return refreshCount_.load(); }
    /// Frames the receive thread has handed over (or answered itself) so far.
    std::uint64_t FramesHandled() const { return framesHandled_.load(); }
    /// Completion frames (standard 0 with d0 = 1) decoded from `channel`; when it
    /// grows, every frame the device sent on that channel before it is decoded.
    std::uint64_t CompletionCount(int channel) const { return completions_.at(channel).load(); }

    pages::CCan1ParaDlg& Can1Page() { return can1Page_; }
    pages::CCan1ParaDlg& Can2Page() { return can2Page_; }
    pages::CSysParaDlg& SysPage() { return sysPage_; }
    pages::CCANAdvanceDlg& Advanced1Page() { return advanced1Page_; }
    pages::CCANAdvanceDlg& Advanced2Page() { return advanced2Page_; }
    pages::CBridgeRuleDialog& BridgePage() { return bridgePage_; }
    pages::CCanReplayDlg& ReplayPage() { return replayPage_; }
    dtu::DTUDlg& DtuBasicPage() { return dtuBasicPage_; }
    dtu::DTUHlDlg& DtuAdvancedPage() { return dtuAdvancedPage_; }
    pages::CDialogDebugMsg& DebugPage() { return debugPage_; }

    /// Path of the settings file in the program directory.
    std::filesystem::path SettingsPath() const;

  protected:
    bool OnInitDialog() override;

  private:
    void MapMessages();
    void CreatePages();
    /// Shows `text` as a warning box and returns it as the command's result.
    CommandResult Warn(std::string_view text, bool succeeded = false);
    void ShowSaveFailures();
    static bool IsIdentificationReply(const CanFrameRecord& frame);
    void ShowRuleCountCuts(CommandResult& result);
    void ShowSettingsResets();
    std::array<ui::Dialog*, 6> RecordPages();
    void StartReceiving();
    void DecodeFrame(std::uint32_t channel, const CanFrameRecord& frame);
    void ReceivePassEnded(std::size_t framesReceived);
    void ReportRead(ReadVerdict verdict);
    void DecodeIdentityFrame(const CanFrameRecord& frame);
    void DecodeParameterFrame(std::uint32_t channel, const CanFrameRecord& frame);
    void DecodeSerialHigh(const CanFrameRecord& frame);
    void StoreSerialBytes(std::span<const std::uint8_t> bytes, std::size_t first);
    void StoreSystemReply(const CanFrameRecord& frame);
    void ShowVersions();
    CommandResult SendParameters();
    // The write's steps: each returns why the write stops, or null to go on.
    const char* Send(std::span<CanFrameRecord> frames);
    const char* WriteOpeningFrame();
    const char* WriteChannelBlocks();
    const char* WriteFilterBlocks();
    const char* WriteBridgeBlock();
    const char* WriteReplayBlock();
    const char* WriteClosingFrames();
    void HandleStorageReply(const CanFrameRecord& frame);
    bool StartTool(const char* programName);  /// the name without a suffix: "Baudly"

    sys::SystemServices& services_;
    protocol::Cpc1crypt frameCipher_;
    DeviceLink link_;
    std::atomic<bool> readPending_{false};
    std::atomic<bool> storageInitPending_{false};
    mutable std::mutex storageMutex_;  ///< the flag's changes and the reply, together
    std::optional<CommandResult> storageReply_;
    ReadJudge readJudge_;
    std::uint64_t readNoAnswerMs_ = ReadJudge::NO_ANSWER_MS;
    std::uint64_t readsJudged_ = 0;
    std::optional<ReadVerdict> lastVerdict_;
    // The firmware upgrade runs on the user-interface thread and pumps; a close
    // that arrives meanwhile is carried out once the upgrade has returned.
    bool upgradeRunning_ = false;
    bool closeAfterUpgrade_ = false;
    std::atomic<bool> stopUpgrade_{false};
    std::atomic<std::uint64_t> refreshCount_{0};
    std::array<std::atomic<std::uint64_t>, 2> completions_{};
    std::atomic<std::uint64_t> framesHandled_{0};
    std::atomic<std::uint64_t> versionReplies_{0};
    bool identifying_ = false;             // user-interface thread only
    protocol::SettingsSections record_{};  ///< before the pages, which edit its sections
    protocol::DeviceIdentity identity_{};
    std::array<protocol::CanPara, 2> readBack_{};
    std::vector<SystemMenuItem> systemMenu_;
    bool pagesShown_ = false;
    protocol::SaveResult settingsSave_ = protocol::SaveResult::Success({});
    std::vector<protocol::SettingsSection> settingsResets_;

    pages::CCan1ParaDlg can1Page_;
    pages::CCan1ParaDlg can2Page_;
    pages::CSysParaDlg sysPage_;
    pages::CCANAdvanceDlg advanced1Page_;
    pages::CCANAdvanceDlg advanced2Page_;
    pages::CBridgeRuleDialog bridgePage_;
    pages::CCanReplayDlg replayPage_;
    dtu::DTUDlg dtuBasicPage_;
    dtu::DTUHlDlg dtuAdvancedPage_;
    pages::CDialogDebugMsg debugPage_;
};

}  // namespace quillon::app
