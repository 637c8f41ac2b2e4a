#include "dtu/DTUHlDlg.hpp"

#include <algorithm>

#include "dtu/CharacterBytes.hpp"
#include "dtu/DtuSettingsFile.hpp"
#include "dtu/DtuTemplates.hpp"
#include "dtu/DtuTexts.hpp"
#include "pages/CharacterText.hpp"
#include "platform/ui/DataExchange.hpp"

namespace quillon::dtu {
namespace {

using P = protocol::DtuAdvPara;

constexpr unsigned DEFAULT_BACKUP_PORT = 9088;
constexpr unsigned DEFAULT_NO_SIGNAL_MIN = 5;
constexpr unsigned DEFAULT_TIMED_START_MIN = 1440;

int Checked(bool on) {
    return on ? ui::BST_CHECKED : ui::BST_UNCHECKED;
}

protocol::PhoneSlot& SlotOf(P& record, std::size_t index) {
    return index < P::SMS_PHONE_COUNT ? record.smsPhones[index] : record.wakePhone;
}

}  // namespace

DTUHlDlg::DTUHlDlg(ui::Host& host, ui::Dialog& parent, const sys::SystemServices& services)
    : ui::Dialog(DtuAdvTemplate(), host, &parent),
      services_(services),
      backupAddrText_(DEFAULT_BACKUP_HOST),
      apnText_(DEFAULT_APN) {
    OnCommand(IDC_RADIO_TCP, [this] { OnProtocol(1); });
    OnCommand(IDC_RADIO_UDP, [this] { OnProtocol(2); });
    OnCommand(IDC_CHECK_APN_MODIFY, [this] { OnApnModifyClicked(); });
    OnCommand(IDC_CHECK_RTC_AUTO_CAL, [this] { OnRtcAutoCalClicked(); });
    OnCommand(IDC_BUTTON_SAVE, [this] { OnSave(); });
}

std::filesystem::path DTUHlDlg::FilePath() const {
    return services_.SettingsDirectory() / DTU_ADV_FILE_NAME;
}

bool DTUHlDlg::OnInitDialog() {
    LimitText(IDC_EDIT_BACKUP_ADDR, ADDRESS_TYPING_LIMIT);
    for (const int id : PHONE_IDS) {
        LimitText(id, PHONE_TYPING_LIMIT);
    }
    return ui::Dialog::OnInitDialog();
}

void DTUHlDlg::DoDataExchange(ui::DataExchange& exchange) {
    exchange.Text(IDC_EDIT_BACKUP_ADDR, backupAddrText_);
    exchange.UInt(IDC_EDIT_BACKUP_PORT, backupPort_);
    exchange.IntRange(IDC_EDIT_BACKUP_PORT, static_cast<int>(std::min(backupPort_, 65536u)), 0,
                      65535);
    exchange.Check(IDC_CHECK_RTC_AUTO_CAL, rtcCheck_);
    exchange.Text(IDC_EDIT_APN, apnText_);
    exchange.Check(IDC_CHECK_APN_MODIFY, apnModifyCheck_);
    for (std::size_t i = 0; i < PHONE_IDS.size(); ++i) {
        exchange.Text(PHONE_IDS[i], phoneTexts_[i]);
    }
    exchange.UInt(IDC_EDIT_NO_SIGNAL_MIN, noSignalMin_);
    exchange.UInt(IDC_EDIT_TIMED_START_MIN, timedStartMin_);
}

void DTUHlDlg::ShowWarning(const char* text) {
    MessageBox(text, CAPTION_WARNING, ui::MB_OK | ui::MB_ICONQUESTION);
}

void DTUHlDlg::OnSave() {
    CollectDtuAdv();
    SaveDtuAdv();
}

void DTUHlDlg::OnProtocol(int protocol) {
    protocol_ = protocol;
}

void DTUHlDlg::OnApnModifyClicked() {
    const bool ticked = IsDlgButtonChecked(IDC_CHECK_APN_MODIFY) == ui::BST_CHECKED;
    EnableWindow(IDC_EDIT_APN, ticked);
    record_.apnModify = ticked ? 1 : 0;
}

void DTUHlDlg::OnRtcAutoCalClicked() {
    record_.rtcAutoCal = IsDlgButtonChecked(IDC_CHECK_RTC_AUTO_CAL) == ui::BST_CHECKED ? 1 : 0;
}

bool DTUHlDlg::CollectBackupAddress() {
    const std::u32string characters = pages::CodePoints(backupAddrText_);
    if (characters.size() > P::MAX_ADDR) {
        ShowWarning(ADDR_LENGTH_ERROR);
        return false;
    }
    record_.backupAddrLen = static_cast<std::uint8_t>(characters.size());
    if (!StoreLowBytes(characters, record_.backupAddr)) {
        ShowWarning(ADDR_CONTENT_ERROR);
        return false;
    }
    if (characters.size() < P::MAX_ADDR) {
        record_.backupAddr[characters.size()] = 0;
    }
    return true;
}

bool DTUHlDlg::CollectApn() {
    const std::u32string characters = pages::CodePoints(apnText_);
    if (characters.size() > P::MAX_APN) {
        ShowWarning(APN_LENGTH_ERROR);
        return false;
    }
    record_.apnLen = static_cast<std::uint8_t>(characters.size());
    if (!StoreLowBytes(characters, record_.apn)) {
        ShowWarning(APN_CONTENT_ERROR);
        return false;
    }
    return true;
}

// A phone message does not stop the collect: the next slot follows.
void DTUHlDlg::CollectPhone(const std::string& text, protocol::PhoneSlot& slot) {
    const std::u32string characters = pages::CodePoints(text);
    if (characters.size() > protocol::PhoneSlot::MAX_DIGITS) {
        slot.length = 0;
        ShowWarning(PHONE_LENGTH_ERROR);
        return;
    }
    slot.length = static_cast<std::uint8_t>(characters.size());
    if (!StoreLowBytes(characters, slot.digits)) {
        ShowWarning(PHONE_CONTENT_ERROR);
    }
}

bool DTUHlDlg::CollectDtuAdv() {
    if (!UpdateData(true)) {
        return false;  // a refused number leaves the record as it was
    }
    if (!CollectBackupAddress()) {
        return false;
    }
    if (backupPort_ >= 65535) {
        ShowWarning(PORT_ERROR);
    } else {
        record_.backupPort = backupPort_;
    }
    if (!CollectApn()) {
        return false;
    }
    record_.apnModify = apnModifyCheck_ == ui::BST_CHECKED ? 1 : 0;
    for (std::size_t i = 0; i < phoneTexts_.size(); ++i) {
        CollectPhone(phoneTexts_[i], SlotOf(record_, i));
    }
    record_.noSignalRebootMin = noSignalMin_;
    record_.timedStartMin = timedStartMin_;
    record_.rtcAutoCal = rtcCheck_ == ui::BST_CHECKED ? 1 : 0;
    record_.netProtocol = static_cast<std::uint8_t>(protocol_);
    return true;
}

protocol::SaveResult DTUHlDlg::SaveDtuAdv() {
    auto bytes = record_.ToBytes();
    lastSave_ = SaveChecksummedRecord(FilePath(), bytes);
    record_.checksum = bytes[0];
    return lastSave_;
}

void DTUHlDlg::ShowPhones() {
    for (std::size_t i = 0; i < phoneTexts_.size(); ++i) {
        const protocol::PhoneSlot& slot = SlotOf(record_, i);
        if (slot.length <= protocol::PhoneSlot::MAX_DIGITS) {
            phoneTexts_[i] = StoredBytesText(std::span(slot.digits).first(slot.length));
        }
    }
}

void DTUHlDlg::ShowDtuAdv(std::span<const std::uint8_t, P::SIZE> bytes) {
    record_ = P::FromBytes(bytes);
    backupAddrText_ =
        record_.backupAddrLen > P::MAX_ADDR
            ? std::string(DEFAULT_BACKUP_HOST)
            : StoredBytesText(std::span(record_.backupAddr).first(record_.backupAddrLen));
    backupPort_ = record_.backupPort;
    rtcCheck_ = Checked(record_.rtcAutoCal != 0);
    protocol_ = record_.netProtocol;
    const bool udp = record_.netProtocol == 2;
    CheckDlgButton(IDC_RADIO_UDP, Checked(udp));
    CheckDlgButton(IDC_RADIO_TCP, Checked(!udp));
    apnModifyCheck_ = Checked(record_.apnModify != 0);
    EnableWindow(IDC_EDIT_APN, record_.apnModify != 0);
    apnText_ = record_.apnLen > P::MAX_APN
                   ? std::string(DEFAULT_APN)
                   : StoredBytesText(std::span(record_.apn).first(record_.apnLen));
    ShowPhones();
    noSignalMin_ = record_.noSignalRebootMin;
    timedStartMin_ = record_.timedStartMin;
    UpdateData(false);
}

// Defaults shown in the controls only; the record waits for the next collect.
void DTUHlDlg::SetDefaults() {
    backupAddrText_ = DEFAULT_BACKUP_HOST;
    backupPort_ = DEFAULT_BACKUP_PORT;
    apnModifyCheck_ = ui::BST_UNCHECKED;
    EnableWindow(IDC_EDIT_APN, false);
    apnText_ = DEFAULT_APN;
    rtcCheck_ = ui::BST_CHECKED;
    phoneTexts_.fill({});
    noSignalMin_ = DEFAULT_NO_SIGNAL_MIN;
    timedStartMin_ = DEFAULT_TIMED_START_MIN;
}

void DTUHlDlg::LoadDtuAdv() {
    auto bytes = record_.ToBytes();
    const bool valid = ReadChecksummedRecord(FilePath(), bytes);
    record_ = P::FromBytes(bytes);
    if (valid) {
        ShowDtuAdv(bytes);
    } else {
        SetDefaults();
    }
    UpdateData(false);
}

}  // namespace quillon::dtu
