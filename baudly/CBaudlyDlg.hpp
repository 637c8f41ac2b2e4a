// The bit-timing calculator's window: a bit rate (and, if wanted, a sample
// point) in, every BTR0/BTR1 pair of the device's controller that reaches it
// out, the recommended one first and the baud-rate list's own pair where it
// differs; a rate no pair reaches is refused with the nearest reachable
// rates. The reverse: a BTR0/BTR1 pair in, its bit rate and sample point out.
#pragma once

#include <string>

#include "baudly/BaudlyTexts.hpp"
#include "bittiming/TimingSearch.hpp"
#include "platform/ui/Dialog.hpp"

namespace quillon::baudly {

inline constexpr int IDD_BAUDLY = 150;
inline constexpr int IDC_BAUDLY_RATE = 1401;
inline constexpr int IDC_BAUDLY_SAMPLE_POINT = 1402;
inline constexpr int IDC_BAUDLY_SEARCH = 1403;
inline constexpr int IDC_BAUDLY_SUMMARY = 1404;
inline constexpr int IDC_BAUDLY_PAIRS = 1405;
inline constexpr int IDC_BAUDLY_BTR0 = 1406;
inline constexpr int IDC_BAUDLY_BTR1 = 1407;
inline constexpr int IDC_BAUDLY_REVERSE = 1408;
inline constexpr int IDC_BAUDLY_REVERSE_RESULT = 1409;

/// The columns of the pair list, left to right.
enum PairColumn {
    COLUMN_BTR0,
    COLUMN_BTR1,
    COLUMN_PRESCALER,
    COLUMN_QUANTA,
    COLUMN_TSEG1,
    COLUMN_TSEG2,
    COLUMN_SJW,
    COLUMN_SAMPLE_POINT,
    COLUMN_RATE,
    COLUMN_ERROR,
    COLUMN_NOTE,
};

class CBaudlyDlg : public ui::Dialog {
  public:
    explicit CBaudlyDlg(ui::Host& host);

  protected:
    bool OnInitDialog() override;

  private:
    void OnSearch();
    void OnReverse();
    void ShowSearch(const bittiming::TimingSearch& search);
    void AddRow(const bittiming::BusTiming& timing, double errorPercent, const std::string& note);
};

/// The calculator's dialog template.
const ui::DialogTemplate& BaudlyDlgTemplate();

}  // namespace quillon::baudly
