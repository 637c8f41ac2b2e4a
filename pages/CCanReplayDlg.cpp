#include "pages/CCanReplayDlg.hpp"

#include <algorithm>
#include <string>

#include "pages/ListRowTexts.hpp"
#include "pages/PageTemplates.hpp"
#include "pages/PageTexts.hpp"
#include "pages/RowRemoval.hpp"
#include "platform/ui/DataExchange.hpp"

namespace quillon::pages {
namespace {

using protocol::ReplayRule;

constexpr const char* NAME_TOO_LONG = "文件名不能大于16个字符!";
constexpr const char* NAME_MISSING = "请输入文件名!";
constexpr int RADIO_IDS[] = {CCanReplayDlg::IDC_RADIO_BY_CHANNEL, CCanReplayDlg::IDC_RADIO_ALL_CAN1,
                             CCanReplayDlg::IDC_RADIO_ALL_CAN2};

void SetBit(std::uint8_t& mask, std::uint8_t bit, bool set) {
    mask = set ? static_cast<std::uint8_t>(mask | bit) : static_cast<std::uint8_t>(mask & ~bit);
}

}  // namespace

CCanReplayDlg::CCanReplayDlg(ui::Host& host, ui::Dialog& parent, RecordType& record,
                             const sys::SystemServices& services)
    : ui::Dialog(CanReplayTemplate(), host, &parent), services_(services), record_(record) {
    OnCommand(IDC_BUTTON_ADD, [this] { AddRule(); });
    OnCommand(IDC_BUTTON_DELETE, [this] { DeleteRule(); });
    for (int mode = 0; mode < 3; ++mode) {
        OnCommand(RADIO_IDS[mode], [this, mode] { OnSendMode(mode); });
    }
    OnCommand(
        IDC_EDIT_REPEAT_ALL, [this] { OnRepeatAllChanged(); }, ui::EN_CHANGE);
}

void CCanReplayDlg::DoDataExchange(ui::DataExchange& exchange) {
    exchange.Text(IDC_EDIT_FILE_NAME, fileName_);
    exchange.UInt(IDC_EDIT_TIMES, times_);
    exchange.IntRange(IDC_EDIT_TIMES, static_cast<int>(std::min(times_, 65536u)), 0, 65535);
    exchange.UInt(IDC_EDIT_INTERVAL, interval_);
    exchange.Check(IDC_CHECK_CHANNEL1, channel1_);
    exchange.Check(IDC_CHECK_CHANNEL2, channel2_);
    exchange.UInt(IDC_EDIT_REPEAT_ALL, repeatAll_);
}

void CCanReplayDlg::CreateListColumns() {
    static constexpr std::pair<const char*, int> COLUMNS[] = {
        {"序号", 50}, {"文件名", 200}, {"次数", 100}, {"间隔", 100}, {"CAN通道", 300},
    };
    int index = 0;
    for (const auto& [heading, width] : COLUMNS) {
        InsertColumn(IDC_LIST_RULES, index++, heading, width);
    }
}

void CCanReplayDlg::ShowWarning(const char* text) {
    MessageBox(text, CAPTION_WARNING, WARNING_STYLE);
}

// The name's bytes in the ANSI code page, then a zero byte.
void CCanReplayDlg::StoreRule(ReplayRule& rule, const std::string& ansiName) const {
    rule.fileName.fill(0);
    std::copy(ansiName.begin(), ansiName.end(), rule.fileName.begin());
    rule.times = static_cast<std::uint16_t>(times_);
    rule.intervalSec = interval_;
    SetBit(rule.channelMask, REPLAY_CHANNEL1, channel1_ == ui::BST_CHECKED);
    SetBit(rule.channelMask, REPLAY_CHANNEL2, channel2_ == ui::BST_CHECKED);
}

void CCanReplayDlg::AddRule() {
    if (!UpdateData(true)) {
        return;  // a refused count or interval is not added with a stale value
    }
    if (record_.ruleCount >= protocol::MAX_REPLAY_RULES) {
        ShowWarning(RULES_FULL);
        return;
    }
    // The device's name field holds 16 bytes: a name is measured in the code
    // page it is stored in, so no character is ever cut in half.
    const std::string ansiName = services_.codePages.ansi.FromUtf8(fileName_);
    if (ansiName.size() > ReplayRule::MAX_FILE_NAME_BYTES) {
        ShowWarning(NAME_TOO_LONG);
        return;
    }
    if (ansiName.empty()) {
        ShowWarning(NAME_MISSING);
        return;
    }
    StoreRule(record_.rules[record_.ruleCount], ansiName);
    ++record_.ruleCount;
    record_.auxValue = 0;
    RefreshList();
}

void CCanReplayDlg::DeleteRule() {
    const auto selected = GetSelectedRows(IDC_LIST_RULES);
    if (selected.empty()) {
        MessageBox(SELECT_ROW_TO_DELETE, GetHost().ApplicationTitle(), NOTICE_STYLE);
        return;
    }
    const std::size_t count = std::min<std::size_t>(record_.ruleCount, protocol::MAX_REPLAY_RULES);
    record_.ruleCount =
        static_cast<std::uint8_t>(count - RemoveRows(record_.rules, count, selected));
    RefreshList();
}

void CCanReplayDlg::OnSendMode(int mode) {
    mode_ = mode;
    record_.sendMode = static_cast<std::uint8_t>(mode);
}

void CCanReplayDlg::OnRepeatAllChanged() {
    if (UpdateData(true)) {
        record_.repeatAll = static_cast<std::uint16_t>(repeatAll_);
    }
}

void CCanReplayDlg::AppendRow(int row, const ReplayRule& rule) {
    // Stored text is shown through the conversion that stored it (here the
    // ANSI code page; one character per byte on the DTU pages), so a name
    // shown and stored again keeps its bytes, whatever its characters.
    const auto end = std::find(rule.fileName.begin(), rule.fileName.end(), 0);
    const std::string ansi(rule.fileName.begin(), end);
    InsertItem(IDC_LIST_RULES, row, std::to_string(row));
    int column = 1;
    for (const std::string& text : ReplayRuleColumns(rule, services_.codePages.ansi.ToUtf8(ansi))) {
        SetItemText(IDC_LIST_RULES, row, column++, text);
    }
}

void CCanReplayDlg::RefreshList() {
    DeleteAllItems(IDC_LIST_RULES);
    // A count from a file or a device may exceed the table: show what the table holds.
    const std::size_t shown = std::min<std::size_t>(record_.ruleCount, protocol::MAX_REPLAY_RULES);
    for (std::size_t i = 0; i < shown; ++i) {
        AppendRow(static_cast<int>(i), record_.rules[i]);
    }
    if (record_.sendMode < std::size(RADIO_IDS)) {
        mode_ = record_.sendMode;
        for (int mode = 0; mode < 3; ++mode) {
            CheckDlgButton(RADIO_IDS[mode], mode == mode_ ? ui::BST_CHECKED : ui::BST_UNCHECKED);
        }
    }
    repeatAll_ = record_.repeatAll;
    UpdateData(false);
}

}  // namespace quillon::pages
