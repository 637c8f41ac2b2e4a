#include "pages/CCan1ParaDlg.hpp"

#include <algorithm>
#include <string>

#include "pages/CharacterText.hpp"
#include "pages/HexIdentifier.hpp"
#include "pages/ListRowTexts.hpp"
#include "pages/PageTemplates.hpp"
#include "pages/PageTexts.hpp"
#include "pages/RowRemoval.hpp"
#include "platform/ui/DataExchange.hpp"
#include "protocol/BtrTable.hpp"

namespace quillon::pages {
namespace {

constexpr const char* FILTERS_FULL = "滤波器数量已满!";
constexpr const char* FILTER_ID_ERROR = "过滤器 ID 数据出错";
constexpr const char* BTR0_ERROR = "BTR0数据出错";
constexpr const char* BTR1_ERROR = "BTR1数据出错";
constexpr std::size_t MAX_BTR_CHARACTERS = 2;
constexpr std::size_t MAX_ID_CHARACTERS = 8;

// A trigger code the record does not know shows as an empty cell.
}  // namespace

CCan1ParaDlg::CCan1ParaDlg(ui::Host& host, ui::Dialog& parent, RecordType& record,
                           const sys::SystemServices&)
    : ui::Dialog(Can1ParaTemplate(), host, &parent), record_(record) {
    OnCommand(
        IDC_COMBO_BAUD, [this] { OnBaudChange(); }, ui::CBN_SELCHANGE);
    OnCommand(IDC_BUTTON_ADD, [this] { AddFilter(); });
    OnCommand(IDC_BUTTON_DELETE, [this] { DeleteSelected(); });
}

void CCan1ParaDlg::DoDataExchange(ui::DataExchange& exchange) {
    exchange.Text(IDC_EDIT_BTR0, btr0Text_);
    exchange.Text(IDC_EDIT_BTR1, btr1Text_);
    exchange.Text(IDC_EDIT_ID_START, idStartText_);
    exchange.Text(IDC_EDIT_ID_END, idEndText_);
    exchange.Int(IDC_EDIT_INTERVAL, interval_);
}

void CCan1ParaDlg::ShowWarning(const char* text) {
    MessageBox(text, CAPTION_WARNING, WARNING_STYLE);
}

void CCan1ParaDlg::LoadFromRecord() {
    CheckDlgButton(IDC_CHECK_ENABLE, record_.enable != 0 ? ui::BST_CHECKED : ui::BST_UNCHECKED);
    SetCurSel(IDC_COMBO_BAUD, record_.baudIndex);
    btr0Text_ = FormatHexLower(record_.btr0);
    btr1Text_ = FormatHexLower(record_.btr1);
    SetCurSel(IDC_COMBO_WORK_MODE, record_.workMode);
    CheckDlgButton(IDC_CHECK_ACCEPT_ALL,
                   record_.acceptAll != 0 ? ui::BST_CHECKED : ui::BST_UNCHECKED);
    RefreshList();
}

// A BTR text gives one byte; an empty text leaves the field as it is. Too
// long a text, or one that is not hexadecimal, is refused with `complaint`.
bool CCan1ParaDlg::StoreBtr(const std::string& text, std::uint8_t& field, const char* complaint) {
    if (CharacterCount(text) > MAX_BTR_CHARACTERS) {
        ShowWarning(complaint);
        return false;
    }
    const auto value = ParseHexText(text);
    if (!value) {
        ShowWarning(complaint);
        return false;
    }
    if (!text.empty()) {
        field = static_cast<std::uint8_t>(*value);
    }
    return true;
}

void CCan1ParaDlg::StoreToRecord() {
    UpdateData(true);
    record_.enable = static_cast<std::uint8_t>(IsDlgButtonChecked(IDC_CHECK_ENABLE));
    record_.baudIndex = static_cast<std::uint8_t>(GetCurSel(IDC_COMBO_BAUD));
    record_.acceptAll = static_cast<std::uint8_t>(IsDlgButtonChecked(IDC_CHECK_ACCEPT_ALL));
    if (!StoreBtr(btr0Text_, record_.btr0, BTR0_ERROR) ||
        !StoreBtr(btr1Text_, record_.btr1, BTR1_ERROR)) {
        return;
    }
    record_.workMode = static_cast<std::uint8_t>(GetCurSel(IDC_COMBO_WORK_MODE));
}

void CCan1ParaDlg::ResetToDefaults() {
    const std::uint8_t checksum = record_.checksum;
    record_ = protocol::CanPara::Defaults();
    record_.checksum = checksum;
}

void CCan1ParaDlg::SetBtrEditable(bool editable) {
    EnableWindow(IDC_EDIT_BTR0, editable);
    EnableWindow(IDC_EDIT_BTR1, editable);
}

void CCan1ParaDlg::ApplyBaudTable() {
    const bool custom = record_.baudIndex >= protocol::CUSTOM_BAUD_INDEX;
    if (!custom) {
        record_.btr0 = protocol::BTR_TABLE[record_.baudIndex].btr0;
        record_.btr1 = protocol::BTR_TABLE[record_.baudIndex].btr1;
    }
    SetBtrEditable(custom);
    UpdateData(false);
}

void CCan1ParaDlg::CreateListColumns() {
    static constexpr std::pair<const char*, int> COLUMNS[] = {
        {"序号", 60},          {"帧格式", 70},   {"帧类型", 70},   {"帧ID起始(HEX)", 90},
        {"帧ID结束(HEX)", 90}, {"记录间隔", 70}, {"触发事件", 70},
    };
    int index = 0;
    for (const auto& [heading, width] : COLUMNS) {
        InsertColumn(IDC_LIST_FILTERS, index++, heading, width);
    }
}

void CCan1ParaDlg::OnBaudChange() {
    const int row = GetCurSel(IDC_COMBO_BAUD);
    if (row == protocol::CUSTOM_BAUD_INDEX) {
        SetBtrEditable(true);
    } else {
        SetBtrEditable(false);
        if (row >= 0 && row < static_cast<int>(protocol::BTR_TABLE.size())) {
            btr0Text_ = FormatHexLower(protocol::BTR_TABLE[static_cast<std::size_t>(row)].btr0);
            btr1Text_ = FormatHexLower(protocol::BTR_TABLE[static_cast<std::size_t>(row)].btr1);
        }
    }
    UpdateData(false);
}

void CCan1ParaDlg::AddFilter() {
    if (record_.filterCount >= protocol::MAX_CAN_FILTERS) {
        ShowWarning(FILTERS_FULL);
        return;
    }
    if (!UpdateData(true)) {
        return;  // the interval box was refused: do not add with a stale value
    }
    auto& entry = record_.filters[record_.filterCount];
    entry.frameFormat = GetCurSel(IDC_COMBO_FRAME_FORMAT) == 0 ? 0 : 1;
    entry.frameType = GetCurSel(IDC_COMBO_FRAME_TYPE) == 0 ? 0 : 1;
    entry.trigger = static_cast<std::uint8_t>(GetCurSel(IDC_COMBO_TRIGGER));
    for (auto [text, field] :
         {std::pair{&idStartText_, &entry.idStart}, std::pair{&idEndText_, &entry.idEnd}}) {
        const auto value = ParseHexText(*text);
        if (CharacterCount(*text) > MAX_ID_CHARACTERS || !value) {
            ShowWarning(FILTER_ID_ERROR);
            return;
        }
        *field = *value;
    }
    entry.interval = interval_;
    entry.used = 1;
    ++record_.filterCount;
    RefreshList();
}

void CCan1ParaDlg::DeleteSelected() {
    record_.filterCount = std::min<std::uint8_t>(record_.filterCount, protocol::MAX_CAN_FILTERS);
    const auto selected = GetSelectedRows(IDC_LIST_FILTERS);
    if (selected.empty()) {
        MessageBox(SELECT_ROW_TO_DELETE, GetHost().ApplicationTitle(), NOTICE_STYLE);
        return;
    }
    record_.filterCount -=
        static_cast<std::uint8_t>(RemoveRows(record_.filters, record_.filterCount, selected));
    RefreshList();
}

void CCan1ParaDlg::AppendRow(int row, const protocol::CanFilter& filter) {
    InsertItem(IDC_LIST_FILTERS, row, std::to_string(row));
    int column = 1;
    for (const std::string& text : RecordingRuleColumns(filter)) {
        SetItemText(IDC_LIST_FILTERS, row, column++, text);
    }
}

void CCan1ParaDlg::RefreshList() {
    DeleteAllItems(IDC_LIST_FILTERS);
    // A count from a file or a device may exceed the table: show what the table holds.
    const std::size_t shown = std::min<std::size_t>(record_.filterCount, protocol::MAX_CAN_FILTERS);
    for (std::size_t i = 0; i < shown; ++i) {
        AppendRow(static_cast<int>(i), record_.filters[i]);
    }
    UpdateData(false);
}

}  // namespace quillon::pages
