#include "pages/CCANAdvanceDlg.hpp"

#include <algorithm>
#include <string>

#include "pages/BitPattern.hpp"
#include "pages/ListRowTexts.hpp"
#include "pages/PageTemplates.hpp"
#include "pages/PageTexts.hpp"
#include "pages/RowRemoval.hpp"

namespace quillon::pages {
namespace {

constexpr const char* FILTERS_FULL = "高级滤波器数量已满!";
constexpr int STANDARD_ROW = 0;
constexpr int STANDARD_BITS = 11;
constexpr int FIRST_EXTENDED_LABEL = 12;

}  // namespace

CCANAdvanceDlg::CCANAdvanceDlg(ui::Host& host, ui::Dialog& parent, RecordType& record,
                               const sys::SystemServices&)
    : ui::Dialog(CanAdvanceTemplate(), host, &parent), record_(record) {
    record_.filterCount = 0;
    for (int label = 1; label <= BIT_COUNT; ++label) {
        OnCommand(BitButtonId(label), [this, label] { OnBitButton(label); });
    }
    OnCommand(
        IDC_COMBO_FRAME_FORMAT, [this] { OnFrameFormatChange(); }, ui::CBN_SELCHANGE);
    OnCommand(IDC_BUTTON_ADD, [this] { AddFilter(); });
    OnCommand(IDC_BUTTON_DELETE, [this] { DeleteSelected(); });
    OnCommand(IDC_CHECK_ENABLE, [this] { OnEnableClicked(); });
}

void CCANAdvanceDlg::CreateListColumns() {
    InsertColumn(IDC_LIST_FILTERS, 0, "序号", 60);
    InsertColumn(IDC_LIST_FILTERS, 1, "可通过帧类型", 180);
    InsertColumn(IDC_LIST_FILTERS, 2, "过滤器内容 ( 高位<------>低位 )", 500);
}

void CCANAdvanceDlg::InitSelectors() {
    SetCurSel(IDC_COMBO_FRAME_FORMAT, 1);
}

void CCANAdvanceDlg::OnBitButton(int label) {
    auto& state = bitState_.at(static_cast<std::size_t>(label - 1));
    static constexpr char SHOWN[] = {'0', '1', 'X'};  // caption after a click from X, 0, 1
    const char shown = SHOWN[std::min<std::uint8_t>(state, BIT_ONE)];
    state = state == BIT_ANY ? BIT_ZERO : state == BIT_ZERO ? BIT_ONE : BIT_ANY;
    SetDlgItemText(BitButtonId(label), BitButtonCaption(label, shown));
}

void CCANAdvanceDlg::OnFrameFormatChange() {
    const bool extended = GetCurSel(IDC_COMBO_FRAME_FORMAT) != STANDARD_ROW;
    for (int label = FIRST_EXTENDED_LABEL; label <= BIT_COUNT; ++label) {
        EnableWindow(BitButtonId(label), extended);
    }
}

void CCANAdvanceDlg::AddFilter() {
    if (record_.filterCount >= protocol::MAX_HARD_FILTERS) {
        MessageBox(FILTERS_FULL, CAPTION_WARNING, WARNING_STYLE);
        return;
    }
    const int row = GetCurSel(IDC_COMBO_FRAME_FORMAT);
    const int bits = row == STANDARD_ROW ? STANDARD_BITS : BIT_COUNT;
    std::uint32_t value = 0;
    std::uint32_t mask = 0xFFFFFFFF;
    for (int bit = 0; bit < bits; ++bit) {
        const std::uint32_t flag = 1u << bit;
        switch (bitState_[static_cast<std::size_t>(bit)]) {
            case BIT_ANY:
                mask &= ~flag;
                break;
            case BIT_ZERO:
                value &= ~flag;
                break;
            default:
                value |= flag;
                break;
        }
    }
    const std::size_t k = record_.filterCount;
    record_.frameFormat[k] = static_cast<std::uint8_t>(row);
    record_.matchValue[k] = value;
    record_.matchMask[k] = mask;
    AppendRow(static_cast<int>(k), record_.frameFormat[k], value, mask);
    record_.filterCount = static_cast<std::uint8_t>(k + 1);
}

void CCANAdvanceDlg::DeleteSelected() {
    record_.filterCount = std::min<std::uint8_t>(record_.filterCount, protocol::MAX_HARD_FILTERS);
    const auto selected = GetSelectedRows(IDC_LIST_FILTERS);
    if (selected.empty()) {
        MessageBox(SELECT_ROW_TO_DELETE, GetHost().ApplicationTitle(), NOTICE_STYLE);
        return;
    }
    // Format, value and mask of a filter leave together.
    const std::size_t count = record_.filterCount;
    RemoveRows(record_.frameFormat, count, selected);
    RemoveRows(record_.matchValue, count, selected);
    const std::size_t removed = RemoveRows(record_.matchMask, count, selected);
    record_.filterCount = static_cast<std::uint8_t>(count - removed);
    RefreshList();
}

void CCANAdvanceDlg::OnEnableClicked() {
    UpdateData(true);
    record_.enable = static_cast<std::uint8_t>(IsDlgButtonChecked(IDC_CHECK_ENABLE));
}

void CCANAdvanceDlg::AppendRow(int row, std::uint8_t format, std::uint32_t value,
                               std::uint32_t mask) {
    InsertItem(IDC_LIST_FILTERS, row, std::to_string(row));
    int column = 1;
    for (const std::string& text : AcceptanceFilterColumns(format, value, mask)) {
        SetItemText(IDC_LIST_FILTERS, row, column++, text);
    }
}

void CCANAdvanceDlg::RefreshList() {
    DeleteAllItems(IDC_LIST_FILTERS);
    record_.filterCount = std::min<std::uint8_t>(record_.filterCount, protocol::MAX_HARD_FILTERS);
    for (std::size_t i = 0; i < record_.filterCount; ++i) {
        AppendRow(static_cast<int>(i), record_.frameFormat[i], record_.matchValue[i],
                  record_.matchMask[i]);
    }
    CheckDlgButton(IDC_CHECK_ENABLE, record_.enable != 0 ? ui::BST_CHECKED : ui::BST_UNCHECKED);
    UpdateData(false);
}

}  // namespace quillon::pages
