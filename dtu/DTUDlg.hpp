// DTU basic page (template 139): data server, connection, heartbeat and
// registration packets, SMS forwarding and serial port of a cellular DTU,
// validated into DtuBasicPara and kept in QXCfgDTU.dat beside the program.
#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "platform/system/SystemServices.hpp"
#include "platform/ui/Dialog.hpp"
#include "platform/ui/Host.hpp"
#include "protocol/DtuBasicPara.hpp"
#include "protocol/SaveResult.hpp"

namespace quillon::dtu {

class DTUDlg : public ui::Dialog {
  public:
    static constexpr int IDC_EDIT_SERVER_ADDR = 1231;
    static constexpr int IDC_EDIT_SERVER_PORT = 1232;
    static constexpr int IDC_RADIO_AUTO_CONNECT = 1233;
    static constexpr int IDC_RADIO_SINGLE_CONNECT = 1234;
    static constexpr int IDC_RADIO_PRIVATE_PROTOCOL = 1235;
    static constexpr int IDC_RADIO_TRANSPARENT = 1229;
    static constexpr int IDC_EDIT_HEARTBEAT_SEC = 1236;
    static constexpr int IDC_EDIT_HEARTBEAT = 1237;
    static constexpr int IDC_CHECK_HEARTBEAT_HEX = 1238;
    static constexpr int IDC_EDIT_DOWNLINK_SEC = 1239;
    static constexpr int IDC_EDIT_REG_PACKET = 1240;
    static constexpr int IDC_CHECK_REG_HEX = 1241;
    static constexpr int IDC_COMBO_SMS_OUTPUT = 1242;
    static constexpr int IDC_COMBO_SMS_CODING = 1243;
    static constexpr int IDC_COMBO_SMS_ALERT = 1244;
    static constexpr int IDC_COMBO_UART_BAUD = 1245;
    static constexpr int IDC_COMBO_UART_PARITY = 1246;
    static constexpr int IDC_COMBO_UART_DATA_BITS = 1247;
    static constexpr int IDC_COMBO_UART_STOP_BITS = 1248;
    static constexpr int IDC_BUTTON_SAVE = 1265;
    /// Characters that can be typed into the address edit; the collect
    /// then refuses anything over 32 with its own message.
    static constexpr int ADDRESS_TYPING_LIMIT = 64;

    /// Serial rates of the baud list, by position.
    static constexpr std::array<std::uint32_t, 11> UART_BAUD_RATES{
        115200, 57600, 38400, 28800, 19200, 9600, 4800, 2400, 1200, 600, 300};

    DTUDlg(ui::Host& host, ui::Dialog& parent, const sys::SystemServices& services);

    protocol::DtuBasicPara& Record() { return record_; }
    const protocol::DtuBasicPara& Record() const { return record_; }
    std::filesystem::path FilePath() const;

    /// Validates the controls into the record; stops at the first message
    /// (fields before it keep their new values). False when it stopped.
    bool CollectDtuBasic();
    /// Writes the record with its checksum to QXCfgDTU.dat; failures are silent
    /// to the user and returned.
    protocol::SaveResult SaveDtuBasic();
    /// The outcome of the last SaveDtuBasic, for the main window to report.
    const protocol::SaveResult& LastSave() const { return lastSave_; }
    /// Reads QXCfgDTU.dat and shows it, or shows and collects the defaults.
    void LoadDtuBasic();
    /// Copies a 260-byte record into the page and shows it.
    void ShowDtuBasic(std::span<const std::uint8_t, protocol::DtuBasicPara::SIZE> bytes);

    // User commands, also reachable through the message map.
    void OnSave();
    void OnConnectMode(int mode);
    void OnProtocol(int protocol);

    int ConnectModeValue() const { return connectMode_; }
    int ProtocolValue() const { return protocol_; }

  protected:
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& exchange) override;

  private:
    void ShowWarning(const char* text);
    bool CollectAddress();
    bool CollectPacket(bool hex, const std::string& text, std::span<std::uint8_t> packet,
                       std::uint8_t& length, std::uint8_t& hexFlag, const char* lengthError,
                       const char* contentError, bool hexFlagFirst);
    void CollectSelections();
    void ShowPacket(bool hex, std::span<const std::uint8_t> packet, std::uint8_t length,
                    int& hexCheck, std::string& text) const;
    void ShowSelections();
    void ShowRadios();
    void SetDefaults();

    const sys::SystemServices& services_;
    protocol::DtuBasicPara record_{};
    protocol::SaveResult lastSave_ = protocol::SaveResult::Success({});
    std::string addrText_;
    unsigned port_ = 8088;
    int connectMode_ = 1;
    int protocol_ = 1;
    unsigned heartbeatSec_ = 0;
    std::string heartbeatText_;
    int heartbeatHexCheck_ = 0;
    unsigned downlinkSec_ = 0;
    std::string regText_;
    int regHexCheck_ = 0;
    /// Selections of the seven lists, in control order 1242..1248.
    std::array<int, 7> selections_{-1, -1, -1, -1, -1, -1, -1};
};

}  // namespace quillon::dtu
