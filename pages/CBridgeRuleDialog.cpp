#include "pages/CBridgeRuleDialog.hpp"

#include <algorithm>
#include <string>

#include "pages/BridgeRuleText.hpp"
#include "pages/ListRowTexts.hpp"
#include "pages/PageTemplates.hpp"
#include "pages/PageTexts.hpp"
#include "pages/RowRemoval.hpp"
#include "platform/ui/DataExchange.hpp"

namespace quillon::pages {
namespace {

using protocol::BridgePara;
using protocol::BridgeRule;

constexpr int LENGTH_EIGHT_ROW = 8;

constexpr std::uint32_t EXTENDED_ID_BITS = 0x1FFFFFFF;
constexpr std::uint32_t STANDARD_ID_BITS = 0x7FF;

// Frame type row 0 is a data frame, row 1 a remote frame; format row 0
// (extended) keeps 29 identifier bits, row 1 (standard) keeps 11; any other
// row leaves its bits clear and the identifier alone.
std::uint8_t MatchFlags(int typeRow, int formatRow, std::uint32_t& id) {
    std::uint8_t flags = BridgeRule::FLAGS_BASE;
    flags |= typeRow == 0 ? BridgeRule::TYPE_DATA : typeRow == 1 ? BridgeRule::TYPE_REMOTE : 0;
    const bool hasId = id != BridgeRule::ANY_ID;
    if (formatRow == 0) {
        flags |= BridgeRule::FORMAT_EXTENDED;
        id = hasId ? (id & EXTENDED_ID_BITS) : id;
    } else if (formatRow == 1) {
        flags |= BridgeRule::FORMAT_STANDARD;
        id = hasId ? (id & STANDARD_ID_BITS) : id;
    }
    return flags;
}

}  // namespace

std::uint8_t StartFlagsOf(const BridgeRule& rule) {
    if (rule.trigger != BridgeRule::TRIGGER_START) {
        return 0;
    }
    switch (rule.direction) {
        case BridgeRule::DIRECTION_CAN1_TO_CAN2:
            return BridgePara::FLAG_START_CAN1_TO_CAN2;
        case BridgeRule::DIRECTION_CAN2_TO_CAN1:
            return BridgePara::FLAG_START_CAN2_TO_CAN1;
        case BridgeRule::DIRECTION_BOTH:
            return BridgePara::START_FLAGS;
        default:
            return 0;
    }
}

CBridgeRuleDialog::CBridgeRuleDialog(ui::Host& host, ui::Dialog& parent, RecordType& record,
                                     const sys::SystemServices&)
    : ui::Dialog(BridgeRuleTemplate(), host, &parent), record_(record) {
    record_.ruleCount = 0;
    OnCommand(IDC_BUTTON_ADD, [this] { AddRule(); });
    OnCommand(IDC_BUTTON_DELETE, [this] { DeleteSelected(); });
    for (int id : {IDC_CHECK_CAN1_FORWARD_ALL, IDC_CHECK_CAN2_FORWARD_ALL}) {
        OnCommand(id, [this, id] { OnForwardAllClicked(id); });
    }
}

void CBridgeRuleDialog::DoDataExchange(ui::DataExchange& exchange) {
    exchange.Text(IDC_EDIT_SRC_ID, srcIdText_);
    exchange.Text(IDC_EDIT_DST_ID, dstIdText_);
    for (std::size_t i = 0; i < SRC_DATA_IDS.size(); ++i) {
        exchange.Text(SRC_DATA_IDS[i], srcDataTexts_[i]);
        exchange.Text(DST_DATA_IDS[i], dstDataTexts_[i]);
    }
    for (auto [id, member] : {std::pair{IDC_EDIT_K, &k_}, std::pair{IDC_EDIT_M, &m_},
                              std::pair{IDC_EDIT_Y_MAX, &yMax_}}) {
        exchange.UInt(id, *member);
        exchange.IntRange(id, static_cast<int>(std::min(*member, 256u)), 0, 255);
    }
}

void CBridgeRuleDialog::CreateListColumns() {
    static constexpr std::pair<const char*, int> COLUMNS[] = {
        {"序号", 50},     {"转发方向", 90}, {"触发规则", 80},
        {"算式规则", 80}, {"源数据", 300},  {"转发后数据", 550},
    };
    int index = 0;
    for (const auto& [heading, width] : COLUMNS) {
        InsertColumn(IDC_LIST_RULES, index++, heading, width);
    }
}

void CBridgeRuleDialog::InitSelectors() {
    for (int id : {IDC_COMBO_SRC_TYPE, IDC_COMBO_SRC_FORMAT, IDC_COMBO_DST_TYPE,
                   IDC_COMBO_DST_FORMAT, IDC_COMBO_DIRECTION, IDC_COMBO_TRIGGER}) {
        SetCurSel(id, 0);
    }
    SetCurSel(IDC_COMBO_SRC_LENGTH, LENGTH_EIGHT_ROW);
    SetCurSel(IDC_COMBO_DST_LENGTH, LENGTH_EIGHT_ROW);
}

BridgeRule CBridgeRuleDialog::BuildRule() const {
    BridgeRule rule{};
    rule.srcId = ReadIdentifierText(srcIdText_);
    rule.dstId = ReadIdentifierText(dstIdText_);
    rule.srcFlags =
        MatchFlags(GetCurSel(IDC_COMBO_SRC_TYPE), GetCurSel(IDC_COMBO_SRC_FORMAT), rule.srcId);
    rule.dstFlags =
        MatchFlags(GetCurSel(IDC_COMBO_DST_TYPE), GetCurSel(IDC_COMBO_DST_FORMAT), rule.dstId);
    for (std::size_t i = 0; i < 8; ++i) {
        const auto flag = static_cast<std::uint8_t>(1u << i);
        const DataBox source = ReadDataBox(srcDataTexts_[i]);
        if (source.kind == DataBoxKind::Value) {
            rule.srcDataMask |= flag;
            rule.srcData[i] = source.value;
        }
        const DataBox forwarded = ReadDataBox(dstDataTexts_[i]);
        const auto kind = static_cast<std::uint8_t>(forwarded.kind);
        if (forwarded.kind == DataBoxKind::Value) {
            rule.dstDataMask |= flag;
            rule.dstData[i] = forwarded.value;
        } else {
            rule.kMask |= (kind & 1) != 0 ? flag : 0;
            rule.mMask |= (kind & 2) != 0 ? flag : 0;
        }
    }
    rule.direction = static_cast<std::uint8_t>(GetCurSel(IDC_COMBO_DIRECTION));
    rule.srcLength = static_cast<std::uint8_t>(GetCurSel(IDC_COMBO_SRC_LENGTH));
    rule.dstLength = static_cast<std::uint8_t>(GetCurSel(IDC_COMBO_DST_LENGTH));
    rule.trigger = static_cast<std::uint8_t>(GetCurSel(IDC_COMBO_TRIGGER));
    rule.k = static_cast<std::uint8_t>(k_);
    rule.m = static_cast<std::uint8_t>(m_);
    rule.yMax = static_cast<std::uint8_t>(yMax_);
    return rule;
}

void CBridgeRuleDialog::AddRule() {
    if (!UpdateData(true)) {
        return;  // K, M or Y maximum was refused: do not add with stale values
    }
    if (record_.ruleCount >= protocol::MAX_BRIDGE_RULES) {
        MessageBox(RULES_FULL, CAPTION_WARNING, WARNING_STYLE);
        return;
    }
    record_.rules[record_.ruleCount] = BuildRule();
    ++record_.ruleCount;
    RefreshList();
    UpdateData(false);
}

void CBridgeRuleDialog::DeleteSelected() {
    const auto selected = GetSelectedRows(IDC_LIST_RULES);
    if (selected.empty()) {
        MessageBox(SELECT_ROW_TO_DELETE, GetHost().ApplicationTitle(), NOTICE_STYLE);
        return;
    }
    const std::size_t count = std::min<std::size_t>(record_.ruleCount, protocol::MAX_BRIDGE_RULES);
    record_.ruleCount =
        static_cast<std::uint8_t>(count - RemoveRows(record_.rules, count, selected));
    RefreshList();
}

void CBridgeRuleDialog::OnForwardAllClicked(int checkId) {
    UpdateData(true);
    const std::uint8_t flag = checkId == IDC_CHECK_CAN1_FORWARD_ALL
                                  ? BridgePara::FLAG_CAN1_FORWARD_ALL
                                  : BridgePara::FLAG_CAN2_FORWARD_ALL;
    if (IsDlgButtonChecked(checkId) == ui::BST_CHECKED) {
        record_.bridgeFlags |= flag;
    } else {
        record_.bridgeFlags &= static_cast<std::uint8_t>(~flag);
    }
}

void CBridgeRuleDialog::AppendRow(int row, const BridgeRule& rule) {
    InsertItem(IDC_LIST_RULES, row, std::to_string(row));
    int column = 1;
    for (const std::string& text : BridgeRuleColumns(rule)) {
        SetItemText(IDC_LIST_RULES, row, column++, text);
    }
}

void CBridgeRuleDialog::RefreshList() {
    DeleteAllItems(IDC_LIST_RULES);
    record_.bridgeFlags &= static_cast<std::uint8_t>(~BridgePara::START_FLAGS);
    const auto checked = [this](std::uint8_t flag) {
        return (record_.bridgeFlags & flag) != 0 ? ui::BST_CHECKED : ui::BST_UNCHECKED;
    };
    CheckDlgButton(IDC_CHECK_CAN1_FORWARD_ALL, checked(BridgePara::FLAG_CAN1_FORWARD_ALL));
    CheckDlgButton(IDC_CHECK_CAN2_FORWARD_ALL, checked(BridgePara::FLAG_CAN2_FORWARD_ALL));
    UpdateData(false);
    // A count from a file or a device may exceed the table: show what the table holds.
    const std::size_t shown = std::min<std::size_t>(record_.ruleCount, protocol::MAX_BRIDGE_RULES);
    for (std::size_t i = 0; i < shown; ++i) {
        AppendRow(static_cast<int>(i), record_.rules[i]);
        record_.bridgeFlags |= StartFlagsOf(record_.rules[i]);
    }
}

}  // namespace quillon::pages
