// DTU advanced page (template 140): backup server, network protocol, APN,
// SMS command numbers, wake-up number and two timers, validated into
// DtuAdvPara and kept in QXCfgDTUHL.dat beside the program.
#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "platform/system/SystemServices.hpp"
#include "platform/ui/Dialog.hpp"
#include "platform/ui/Host.hpp"
#include "protocol/DtuAdvPara.hpp"
#include "protocol/SaveResult.hpp"

namespace quillon::dtu {

class DTUHlDlg : public ui::Dialog {
  public:
    static constexpr int IDC_EDIT_BACKUP_ADDR = 1250;
    static constexpr int IDC_EDIT_BACKUP_PORT = 1251;
    static constexpr int IDC_CHECK_RTC_AUTO_CAL = 1249;
    static constexpr int IDC_RADIO_TCP = 1252;
    static constexpr int IDC_RADIO_UDP = 1253;
    static constexpr int IDC_EDIT_APN = 1254;
    static constexpr int IDC_CHECK_APN_MODIFY = 1255;
    /// Phone edits: SMS numbers 1..6, then the wake-up number.
    static constexpr std::array<int, 7> PHONE_IDS{1256, 1257, 1258, 1259, 1260, 1261, 1262};
    static constexpr int IDC_EDIT_NO_SIGNAL_MIN = 1263;
    static constexpr int IDC_EDIT_TIMED_START_MIN = 1264;
    static constexpr int IDC_BUTTON_SAVE = 1265;
    /// Characters that can be typed into the backup address and phone edits.
    static constexpr int ADDRESS_TYPING_LIMIT = 64;
    static constexpr int PHONE_TYPING_LIMIT = 15;

    DTUHlDlg(ui::Host& host, ui::Dialog& parent, const sys::SystemServices& services);

    protocol::DtuAdvPara& Record() { return record_; }
    const protocol::DtuAdvPara& Record() const { return record_; }
    std::filesystem::path FilePath() const;

    /// Validates the controls into the record; the address and APN checks stop
    /// it, port and phone messages do not. False when it stopped.
    bool CollectDtuAdv();
    /// Writes the record with its checksum to QXCfgDTUHL.dat; failures are
    /// silent to the user and returned.
    protocol::SaveResult SaveDtuAdv();
    /// The outcome of the last SaveDtuAdv, for the main window to report.
    const protocol::SaveResult& LastSave() const { return lastSave_; }
    /// Reads QXCfgDTUHL.dat and shows it, or shows the defaults in the controls.
    void LoadDtuAdv();
    /// Copies a 196-byte record into the page and shows it.
    void ShowDtuAdv(std::span<const std::uint8_t, protocol::DtuAdvPara::SIZE> bytes);

    // User commands, also reachable through the message map.
    void OnSave();
    void OnProtocol(int protocol);
    void OnApnModifyClicked();
    void OnRtcAutoCalClicked();

    int ProtocolValue() const { return protocol_; }

  protected:
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& exchange) override;

  private:
    void ShowWarning(const char* text);
    bool CollectBackupAddress();
    bool CollectApn();
    void CollectPhone(const std::string& text, protocol::PhoneSlot& slot);
    void ShowPhones();
    void SetDefaults();

    const sys::SystemServices& services_;
    protocol::DtuAdvPara record_{};
    protocol::SaveResult lastSave_ = protocol::SaveResult::Success({});
    std::string backupAddrText_;
    unsigned backupPort_ = 8088;
    int rtcCheck_ = 0;
    int protocol_ = 0;
    std::string apnText_;
    int apnModifyCheck_ = 0;
    std::array<std::string, 7> phoneTexts_{};
    unsigned noSignalMin_ = 0;
    unsigned timedStartMin_ = 0;
};

}  // namespace quillon::dtu
