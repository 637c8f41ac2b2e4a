// Basic settings page of one CAN channel (template 129): enable, bit rate,
// timing registers, work mode, accept-all and up to MAX_CAN_FILTERS recording
// filters. The page owns its channel's CanPara; the main window holds two
// instances (CAN1, CAN2) and addresses them by position.
#pragma once

#include <string>

#include "platform/system/SystemServices.hpp"
#include "platform/ui/Dialog.hpp"
#include "platform/ui/Host.hpp"
#include "protocol/CanPara.hpp"

namespace quillon::pages {

class CCan1ParaDlg : public ui::Dialog {
  public:
    static constexpr int IDC_CHECK_ENABLE = 1057;
    static constexpr int IDC_COMBO_BAUD = 1068;
    static constexpr int IDC_EDIT_BTR0 = 1069;
    static constexpr int IDC_EDIT_BTR1 = 1070;
    static constexpr int IDC_COMBO_WORK_MODE = 1071;
    static constexpr int IDC_CHECK_ACCEPT_ALL = 1072;
    static constexpr int IDC_COMBO_FRAME_TYPE = 1083;
    static constexpr int IDC_COMBO_FRAME_FORMAT = 1093;
    static constexpr int IDC_EDIT_ID_START = 1103;
    static constexpr int IDC_EDIT_ID_END = 1113;
    static constexpr int IDC_EDIT_INTERVAL = 1277;
    static constexpr int IDC_COMBO_TRIGGER = 1280;
    static constexpr int IDC_BUTTON_ADD = 1278;
    static constexpr int IDC_BUTTON_DELETE = 1222;
    static constexpr int IDC_LIST_FILTERS = 1276;

    /// The section the page edits, held by its owner (the main window's record).
    using RecordType = protocol::CanPara;

    CCan1ParaDlg(ui::Host& host, ui::Dialog& parent, RecordType& record,
                 const sys::SystemServices& services);

    protocol::CanPara& Record() { return record_; }
    const protocol::CanPara& Record() const { return record_; }

    /// Shows the record in the controls (enable, rate, BTR texts, mode,
    /// accept-all, list); leaves the BTR edits' enabled state alone.
    void LoadFromRecord();
    /// Takes the controls into the record. A BTR text of 3 or more characters
    /// (or one that is not hexadecimal) shows its message and leaves the fields
    /// after it unchanged; the caller is not told.
    void StoreToRecord();
    /// The channel defaults (recording on, 1000 kbit/s, no filters); checksum kept.
    void ResetToDefaults();
    /// Rebuilds the filter list from the record, then pushes all members.
    void RefreshList();
    /// Enables or disables the BTR0/BTR1 edits.
    void SetBtrEditable(bool editable);
    /// Start-up adjustment: a fixed rate takes its timing registers from
    /// BTR_TABLE and locks the BTR edits, a user-defined rate unlocks them;
    /// then the members are pushed into the controls.
    void ApplyBaudTable();
    /// Inserts the seven list columns (done once by the main window).
    void CreateListColumns();

    // User commands, also reachable through the message map.
    void OnBaudChange();
    void AddFilter();
    void DeleteSelected();

  protected:
    void DoDataExchange(ui::DataExchange& exchange) override;

  private:
    void ShowWarning(const char* text);
    bool StoreBtr(const std::string& text, std::uint8_t& field, const char* complaint);
    void AppendRow(int row, const protocol::CanFilter& filter);

    protocol::CanPara& record_;
    std::string idStartText_;
    std::string idEndText_;
    std::string btr0Text_;
    std::string btr1Text_;
    int interval_ = 0;
};

}  // namespace quillon::pages
