#include "baudly/CBaudlyDlg.hpp"

#include <algorithm>

#include "bittiming/TimingInput.hpp"
#include "platform/ui/SharedTexts.hpp"

namespace quillon::baudly {
namespace {

struct Column {
    const char* heading;
    int widthPx;
};

// Headings in PairColumn order; widths fit the widest cell at the dialog font.
constexpr Column COLUMNS[] = {
    {"BTR0", 48}, {"BTR1", 48},   {"分频系数", 62}, {"时间份额", 62}, {"TSEG1", 50}, {"TSEG2", 50},
    {"SJW", 40},  {"采样点", 56}, {"波特率", 64},   {"误差", 56},     {"说明", 200},
};

// What the window shows when it opens: the answer for the commonest rate.
constexpr const char* INITIAL_RATE = "500000";
constexpr const char* INITIAL_BTR0 = "01";
constexpr const char* INITIAL_BTR1 = "1C";

}  // namespace

CBaudlyDlg::CBaudlyDlg(ui::Host& host) : ui::Dialog(BaudlyDlgTemplate(), host) {
    OnCommand(IDC_BAUDLY_SEARCH, [this] { OnSearch(); });
    OnCommand(IDC_BAUDLY_REVERSE, [this] { OnReverse(); });
    OnCommand(ui::IDOK, [this] { OnSearch(); });
    OnCommand(ui::IDCANCEL, [this] { EndDialog(ui::IDCANCEL); });
}

bool CBaudlyDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    for (int i = 0; i < static_cast<int>(std::size(COLUMNS)); ++i) {
        InsertColumn(IDC_BAUDLY_PAIRS, i, COLUMNS[i].heading, COLUMNS[i].widthPx);
    }
    SetDlgItemText(IDC_BAUDLY_RATE, INITIAL_RATE);
    SetDlgItemText(IDC_BAUDLY_BTR0, INITIAL_BTR0);
    SetDlgItemText(IDC_BAUDLY_BTR1, INITIAL_BTR1);
    OnSearch();
    OnReverse();
    return true;
}

void CBaudlyDlg::OnSearch() {
    const auto rate = bittiming::ParseRate(GetDlgItemText(IDC_BAUDLY_RATE));
    if (!rate) {
        MessageBox(BAD_RATE, ui::CAPTION_WARNING, ui::MB_ICONQUESTION);
        return;
    }
    std::optional<double> samplePoint;
    if (const std::string typed = GetDlgItemText(IDC_BAUDLY_SAMPLE_POINT); !typed.empty()) {
        samplePoint = bittiming::ParseSamplePoint(typed);
        if (!samplePoint) {
            MessageBox(BAD_SAMPLE_POINT, ui::CAPTION_WARNING, ui::MB_ICONQUESTION);
            return;
        }
    }
    ShowSearch(bittiming::SearchTimings(*rate, samplePoint));
}

void CBaudlyDlg::ShowSearch(const bittiming::TimingSearch& search) {
    SetDlgItemText(IDC_BAUDLY_SUMMARY, SearchSummary(search));
    DeleteAllItems(IDC_BAUDLY_PAIRS);
    for (const auto& choice : search.choices) {
        AddRow(choice.timing, choice.errorPercent,
               PairNote(choice.registers, &choice == &search.choices.front()));
    }
    // The list's own pair is marked where it is listed, else added after the others.
    const auto& page = search.pagePair;
    if (page && std::none_of(search.choices.begin(), search.choices.end(),
                             [&](const auto& c) { return c.registers == page->registers; })) {
        AddRow(page->timing, page->errorPercent, PairNote(page->registers, false));
    }
    for (const auto& near : search.nearest) {
        const std::string listed = PairNote(near.registers, false);
        AddRow(near.timing, near.errorPercent,
               std::string(NOTE_NEAREST) + (listed.empty() ? "" : "，" + listed));
    }
}

void CBaudlyDlg::AddRow(const bittiming::BusTiming& t, double errorPercent,
                        const std::string& note) {
    const auto registers = bittiming::EncodeBtr(t);
    const int row =
        InsertItem(IDC_BAUDLY_PAIRS, GetItemCount(IDC_BAUDLY_PAIRS), RegisterText(registers.btr0));
    const std::string cells[] = {RegisterText(registers.btr1),     std::to_string(t.prescaler),
                                 std::to_string(t.Quanta()),       std::to_string(t.tseg1),
                                 std::to_string(t.tseg2),          std::to_string(t.jumpWidth),
                                 SamplePointText(t.SamplePoint()), RateText(t.BitRate()),
                                 ErrorText(errorPercent),          note};
    for (int column = COLUMN_BTR1; column <= COLUMN_NOTE; ++column) {
        SetItemText(IDC_BAUDLY_PAIRS, row, column, cells[column - COLUMN_BTR1]);
    }
}

void CBaudlyDlg::OnReverse() {
    const auto btr0 = bittiming::ParseRegister(GetDlgItemText(IDC_BAUDLY_BTR0));
    const auto btr1 = bittiming::ParseRegister(GetDlgItemText(IDC_BAUDLY_BTR1));
    if (!btr0 || !btr1) {
        MessageBox(BAD_REGISTERS, ui::CAPTION_WARNING, ui::MB_ICONQUESTION);
        return;
    }
    SetDlgItemText(IDC_BAUDLY_REVERSE_RESULT, PairSummary({*btr0, *btr1}));
}

}  // namespace quillon::baudly
