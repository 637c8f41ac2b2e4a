// Bridge rule page (template 135): up to MAX_BRIDGE_RULES forwarding rules of
// a two-channel CAN bridge and the two forward-everything switches.
#pragma once

#include <array>
#include <string>

#include "platform/system/SystemServices.hpp"
#include "platform/ui/Dialog.hpp"
#include "platform/ui/Host.hpp"
#include "protocol/BridgePara.hpp"

namespace quillon::pages {

/// The bridgeFlags bits a start rule sets for its direction (none for other triggers); the
/// page derives bits 0 and 1 from its rules with it on every refresh.
std::uint8_t StartFlagsOf(const protocol::BridgeRule& rule);

class CBridgeRuleDialog : public ui::Dialog {
  public:
    static constexpr int IDC_EDIT_SRC_ID = 1178;
    static constexpr int IDC_COMBO_SRC_TYPE = 1179;
    static constexpr int IDC_COMBO_SRC_FORMAT = 1023;
    static constexpr int IDC_COMBO_SRC_LENGTH = 1204;
    static constexpr int IDC_EDIT_DST_ID = 1181;
    static constexpr int IDC_COMBO_DST_TYPE = 1182;
    static constexpr int IDC_COMBO_DST_FORMAT = 1025;
    static constexpr int IDC_COMBO_DST_LENGTH = 1205;
    static constexpr int IDC_COMBO_DIRECTION = 1184;
    static constexpr int IDC_COMBO_TRIGGER = 1201;
    static constexpr int IDC_EDIT_K = 1185;
    static constexpr int IDC_EDIT_M = 1186;
    static constexpr int IDC_EDIT_Y_MAX = 1202;
    static constexpr int IDC_CHECK_CAN1_FORWARD_ALL = 1206;
    static constexpr int IDC_CHECK_CAN2_FORWARD_ALL = 1207;
    static constexpr int IDC_BUTTON_ADD = 1173;
    static constexpr int IDC_BUTTON_DELETE = 1174;
    static constexpr int IDC_LIST_RULES = 1176;
    /// Data boxes of bytes 0..7: source (V) and forwarded (Y).
    static constexpr std::array<int, 8> SRC_DATA_IDS{1180, 1187, 1188, 1189,
                                                     1190, 1191, 1192, 1193};
    static constexpr std::array<int, 8> DST_DATA_IDS{1183, 1194, 1195, 1196,
                                                     1197, 1198, 1199, 1200};

    /// The section the page edits, held by its owner (the main window's record).
    using RecordType = protocol::BridgePara;

    CBridgeRuleDialog(ui::Host& host, ui::Dialog& parent, RecordType& record,
                      const sys::SystemServices& services);

    protocol::BridgePara& Record() { return record_; }
    const protocol::BridgePara& Record() const { return record_; }

    /// Rebuilds the list, recomputing bits 0-1 of bridgeFlags from the start rules.
    void RefreshList();
    /// Inserts the six list columns (done once by the main window).
    void CreateListColumns();
    /// Start-up selections: row 0 in the type, format, direction and trigger
    /// lists, "8" in both length lists.
    void InitSelectors();

    // User commands, also reachable through the message map.
    void AddRule();
    void DeleteSelected();
    void OnForwardAllClicked(int checkId);

  protected:
    void DoDataExchange(ui::DataExchange& exchange) override;

  private:
    protocol::BridgeRule BuildRule() const;
    void AppendRow(int row, const protocol::BridgeRule& rule);

    protocol::BridgePara& record_;
    std::string srcIdText_;
    std::string dstIdText_;
    std::array<std::string, 8> srcDataTexts_{};
    std::array<std::string, 8> dstDataTexts_{};
    unsigned k_ = 1;
    unsigned m_ = 0;
    unsigned yMax_ = 0;
};

}  // namespace quillon::pages
