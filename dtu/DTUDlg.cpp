#include "dtu/DTUDlg.hpp"

#include <algorithm>

#include "dtu/CharacterBytes.hpp"
#include "dtu/DtuSettingsFile.hpp"
#include "dtu/DtuTemplates.hpp"
#include "dtu/DtuTexts.hpp"
#include "pages/CharacterText.hpp"
#include "pages/HexText.hpp"
#include "platform/ui/DataExchange.hpp"

namespace quillon::dtu {
namespace {

using P = protocol::DtuBasicPara;

constexpr int COMBO_IDS[] = {DTUDlg::IDC_COMBO_SMS_OUTPUT,    DTUDlg::IDC_COMBO_SMS_CODING,
                             DTUDlg::IDC_COMBO_SMS_ALERT,     DTUDlg::IDC_COMBO_UART_BAUD,
                             DTUDlg::IDC_COMBO_UART_PARITY,   DTUDlg::IDC_COMBO_UART_DATA_BITS,
                             DTUDlg::IDC_COMBO_UART_STOP_BITS};
constexpr std::size_t BAUD_SELECTION = 3;
constexpr std::uint8_t NO_SELECTION = 255;

// The six index fields of the record, in the order of the selections without the baud list.
std::array<std::uint8_t*, 6> IndexFields(P& record) {
    return {&record.smsOutput,  &record.smsCoding,    &record.smsAlert,
            &record.uartParity, &record.uartDataBits, &record.uartStopBits};
}

constexpr std::size_t SelectionOfIndexField(std::size_t field) {
    return field < BAUD_SELECTION ? field : field + 1;
}

int Checked(bool on) {
    return on ? ui::BST_CHECKED : ui::BST_UNCHECKED;
}

}  // namespace

DTUDlg::DTUDlg(ui::Host& host, ui::Dialog& parent, const sys::SystemServices& services)
    : ui::Dialog(DtuBasicTemplate(), host, &parent),
      services_(services),
      addrText_(DEFAULT_SERVER_HOST) {
    OnCommand(IDC_RADIO_AUTO_CONNECT, [this] { OnConnectMode(1); });
    OnCommand(IDC_RADIO_SINGLE_CONNECT, [this] { OnConnectMode(2); });
    OnCommand(IDC_RADIO_PRIVATE_PROTOCOL, [this] { OnProtocol(1); });
    OnCommand(IDC_RADIO_TRANSPARENT, [this] { OnProtocol(2); });
    OnCommand(IDC_CHECK_HEARTBEAT_HEX, [] {});
    OnCommand(IDC_BUTTON_SAVE, [this] { OnSave(); });
}

std::filesystem::path DTUDlg::FilePath() const {
    return services_.SettingsDirectory() / DTU_BASIC_FILE_NAME;
}

bool DTUDlg::OnInitDialog() {
    LimitText(IDC_EDIT_SERVER_ADDR, ADDRESS_TYPING_LIMIT);
    return ui::Dialog::OnInitDialog();
}

void DTUDlg::DoDataExchange(ui::DataExchange& exchange) {
    exchange.Text(IDC_EDIT_SERVER_ADDR, addrText_);
    exchange.UInt(IDC_EDIT_SERVER_PORT, port_);
    exchange.IntRange(IDC_EDIT_SERVER_PORT, static_cast<int>(std::min(port_, 65536u)), 0, 65535);
    exchange.UInt(IDC_EDIT_HEARTBEAT_SEC, heartbeatSec_);
    exchange.Text(IDC_EDIT_HEARTBEAT, heartbeatText_);
    exchange.Check(IDC_CHECK_HEARTBEAT_HEX, heartbeatHexCheck_);
    exchange.UInt(IDC_EDIT_DOWNLINK_SEC, downlinkSec_);
    exchange.Text(IDC_EDIT_REG_PACKET, regText_);
    exchange.Check(IDC_CHECK_REG_HEX, regHexCheck_);
    for (std::size_t i = 0; i < selections_.size(); ++i) {
        exchange.ComboIndex(COMBO_IDS[i], selections_[i]);
    }
}

void DTUDlg::ShowWarning(const char* text) {
    MessageBox(text, CAPTION_WARNING, ui::MB_OK | ui::MB_ICONQUESTION);
}

void DTUDlg::OnConnectMode(int mode) {
    connectMode_ = mode;
}

void DTUDlg::OnProtocol(int protocol) {
    protocol_ = protocol;
}

void DTUDlg::OnSave() {
    CollectDtuBasic();
    SaveDtuBasic();
}

bool DTUDlg::CollectAddress() {
    const std::u32string characters = pages::CodePoints(addrText_);
    if (characters.empty() || characters.size() > P::MAX_ADDR) {
        ShowWarning(ADDR_LENGTH_ERROR);
        return false;
    }
    record_.serverAddrLen = static_cast<std::uint8_t>(characters.size());
    if (!StoreLowBytes(characters, record_.serverAddr)) {
        ShowWarning(ADDR_CONTENT_ERROR);
        return false;
    }
    if (characters.size() < P::MAX_ADDR) {
        record_.serverAddr[characters.size()] = 0;
    }
    return true;
}

bool DTUDlg::CollectPacket(bool hex, const std::string& text, std::span<std::uint8_t> packet,
                           std::uint8_t& length, std::uint8_t& hexFlag, const char* lengthError,
                           const char* contentError, bool hexFlagFirst) {
    if (hex) {
        hexFlag = hexFlagFirst ? 1 : hexFlag;
        const auto bytes = pages::HexTextToBytes(text);
        if (bytes.size() > packet.size()) {
            ShowWarning(lengthError);
            return false;
        }
        std::copy(bytes.begin(), bytes.end(), packet.begin());
        length = static_cast<std::uint8_t>(bytes.size());
        hexFlag = 1;
        return true;
    }
    hexFlag = 0;
    const std::u32string characters = pages::CodePoints(text);
    if (characters.size() > packet.size()) {
        ShowWarning(lengthError);
        return false;
    }
    length = static_cast<std::uint8_t>(characters.size());
    if (!StoreLowBytes(characters, packet)) {
        ShowWarning(contentError);
        return false;
    }
    return true;
}

void DTUDlg::CollectSelections() {
    auto fields = IndexFields(record_);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        *fields[i] = static_cast<std::uint8_t>(selections_[SelectionOfIndexField(i)]);
    }
    const int baud = selections_[BAUD_SELECTION];
    const bool listed = baud >= 0 && baud < static_cast<int>(UART_BAUD_RATES.size());
    record_.uartBaud = UART_BAUD_RATES[listed ? static_cast<std::size_t>(baud) : 0];
}

bool DTUDlg::CollectDtuBasic() {
    if (!UpdateData(true)) {
        return false;  // a refused number leaves the record as it was
    }
    if (!CollectAddress()) {
        return false;
    }
    if (port_ >= 65535) {
        ShowWarning(PORT_ERROR);
    } else {
        record_.serverPort = port_;
    }
    record_.heartbeatSec = heartbeatSec_;
    if (!CollectPacket(heartbeatHexCheck_ == ui::BST_CHECKED, heartbeatText_, record_.heartbeat,
                       record_.heartbeatLen, record_.heartbeatHex, HEARTBEAT_LENGTH_ERROR,
                       HEARTBEAT_CONTENT_ERROR, false)) {
        return false;
    }
    record_.downlinkTimeoutSec = downlinkSec_;
    if (!CollectPacket(regHexCheck_ == ui::BST_CHECKED, regText_, record_.regPacket, record_.regLen,
                       record_.regHex, REG_LENGTH_ERROR, REG_CONTENT_ERROR, true)) {
        return false;
    }
    record_.connectMode = static_cast<std::uint8_t>(connectMode_);
    record_.protocol = static_cast<std::uint8_t>(protocol_);
    CollectSelections();
    return true;
}

protocol::SaveResult DTUDlg::SaveDtuBasic() {
    auto bytes = record_.ToBytes();
    lastSave_ = SaveChecksummedRecord(FilePath(), bytes);
    record_.checksum = bytes[0];
    return lastSave_;
}

void DTUDlg::ShowPacket(bool hex, std::span<const std::uint8_t> packet, std::uint8_t length,
                        int& hexCheck, std::string& text) const {
    hexCheck = Checked(hex);
    const bool fits = length <= packet.size();
    if (hex) {
        text = fits ? pages::BytesToHexText(packet.first(length)) : std::string();
    } else if (fits) {
        text = StoredBytesText(packet.first(length));
    }
}

void DTUDlg::ShowSelections() {
    auto fields = IndexFields(record_);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        *fields[i] = *fields[i] == NO_SELECTION ? 0 : *fields[i];
        selections_[SelectionOfIndexField(i)] = *fields[i];
    }
    const auto rate = std::find(UART_BAUD_RATES.begin(), UART_BAUD_RATES.end(), record_.uartBaud);
    selections_[BAUD_SELECTION] =
        rate == UART_BAUD_RATES.end() ? 0 : static_cast<int>(rate - UART_BAUD_RATES.begin());
}

void DTUDlg::ShowRadios() {
    const bool single = record_.connectMode == 2;
    CheckDlgButton(IDC_RADIO_SINGLE_CONNECT, Checked(single));
    CheckDlgButton(IDC_RADIO_AUTO_CONNECT, Checked(!single));
    const bool transparent = record_.protocol == 2;
    CheckDlgButton(IDC_RADIO_TRANSPARENT, Checked(transparent));
    CheckDlgButton(IDC_RADIO_PRIVATE_PROTOCOL, Checked(!transparent));
}

void DTUDlg::ShowDtuBasic(std::span<const std::uint8_t, P::SIZE> bytes) {
    record_ = P::FromBytes(bytes);
    addrText_ = record_.serverAddrLen > P::MAX_ADDR
                    ? std::string(DEFAULT_SERVER_HOST)
                    : StoredBytesText(std::span(record_.serverAddr).first(record_.serverAddrLen));
    port_ = record_.serverPort;
    heartbeatSec_ = record_.heartbeatSec;
    ShowPacket(record_.heartbeatHex != 0, record_.heartbeat, record_.heartbeatLen,
               heartbeatHexCheck_, heartbeatText_);
    connectMode_ = record_.connectMode;
    protocol_ = record_.protocol;
    downlinkSec_ = record_.downlinkTimeoutSec;
    ShowPacket(record_.regHex != 0, record_.regPacket, record_.regLen, regHexCheck_, regText_);
    ShowSelections();
    ShowRadios();
    UpdateData(false);
}

void DTUDlg::SetDefaults() {
    addrText_ = DEFAULT_SERVER_HOST;
    port_ = 8088;
    connectMode_ = 1;
    protocol_ = 1;
    CheckDlgButton(IDC_RADIO_AUTO_CONNECT, ui::BST_CHECKED);
    CheckDlgButton(IDC_RADIO_SINGLE_CONNECT, ui::BST_UNCHECKED);
    CheckDlgButton(IDC_RADIO_PRIVATE_PROTOCOL, ui::BST_CHECKED);
    CheckDlgButton(IDC_RADIO_TRANSPARENT, ui::BST_UNCHECKED);
    heartbeatSec_ = 60;
    heartbeatText_ = "heartbeat";
    heartbeatHexCheck_ = ui::BST_UNCHECKED;
    regHexCheck_ = ui::BST_UNCHECKED;
    downlinkSec_ = 60;
    regText_ = "REG";
}

void DTUDlg::LoadDtuBasic() {
    auto bytes = record_.ToBytes();
    const bool valid = ReadChecksummedRecord(FilePath(), bytes);
    record_ = P::FromBytes(bytes);
    if (valid) {
        ShowDtuBasic(bytes);
    } else {
        SetDefaults();
        UpdateData(false);
        CollectDtuBasic();
        ShowDtuBasic(record_.ToBytes());
    }
    UpdateData(false);
}

}  // namespace quillon::dtu
