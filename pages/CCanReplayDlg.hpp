// Replay page (template 137): the replay list of a CAN replayer, its repeat
// count and send-channel policy, edited in place in the page's ReplayPara.
#pragma once

#include <string>

#include "platform/system/SystemServices.hpp"
#include "platform/ui/Dialog.hpp"
#include "platform/ui/Host.hpp"
#include "protocol/ReplayPara.hpp"

namespace quillon::pages {

class CCanReplayDlg : public ui::Dialog {
  public:
    static constexpr int IDC_EDIT_FILE_NAME = 1211;
    static constexpr int IDC_EDIT_TIMES = 1212;
    static constexpr int IDC_EDIT_INTERVAL = 1213;
    static constexpr int IDC_CHECK_CHANNEL1 = 1214;
    static constexpr int IDC_CHECK_CHANNEL2 = 1015;
    static constexpr int IDC_BUTTON_ADD = 1173;
    static constexpr int IDC_BUTTON_DELETE = 1174;
    static constexpr int IDC_LIST_RULES = 1210;
    static constexpr int IDC_EDIT_REPEAT_ALL = 1215;
    static constexpr int IDC_RADIO_BY_CHANNEL = 1216;
    static constexpr int IDC_RADIO_ALL_CAN1 = 1217;
    static constexpr int IDC_RADIO_ALL_CAN2 = 1218;

    /// The section the page edits, held by its owner (the main window's record).
    using RecordType = protocol::ReplayPara;

    CCanReplayDlg(ui::Host& host, ui::Dialog& parent, RecordType& record,
                  const sys::SystemServices& services);

    protocol::ReplayPara& Record() { return record_; }
    const protocol::ReplayPara& Record() const { return record_; }

    /// Rebuilds the list and shows the send mode and repeat count of the record.
    void RefreshList();
    /// Inserts the five list columns (done once by the main window).
    void CreateListColumns();

    // User commands, also reachable through the message map.
    void AddRule();
    void DeleteRule();
    void OnSendMode(int mode);
    void OnRepeatAllChanged();

    int SendModeValue() const { return mode_; }

  protected:
    void DoDataExchange(ui::DataExchange& exchange) override;

  private:
    void ShowWarning(const char* text);
    void StoreRule(protocol::ReplayRule& rule, const std::string& ansiName) const;
    void AppendRow(int row, const protocol::ReplayRule& rule);

    const sys::SystemServices& services_;
    protocol::ReplayPara& record_;
    std::string fileName_;
    unsigned times_ = 0;
    unsigned interval_ = 0;
    unsigned repeatAll_ = 0;
    int channel1_ = 0;
    int channel2_ = 0;
    int mode_ = 0;
};

}  // namespace quillon::pages
