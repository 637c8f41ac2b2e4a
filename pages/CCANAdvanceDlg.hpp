// Advanced (bit-pattern) acceptance filter page of one CAN channel
// (template 133): 29 toggle buttons build a pattern of 0 / 1 / don't-care
// bits that is appended to the channel's HardFilterPara.
#pragma once

#include <array>
#include <cstdint>

#include "platform/system/SystemServices.hpp"
#include "platform/ui/Dialog.hpp"
#include "platform/ui/Host.hpp"
#include "protocol/HardFilterPara.hpp"

namespace quillon::pages {

class CCANAdvanceDlg : public ui::Dialog {
  public:
    static constexpr int IDC_COMBO_FRAME_FORMAT = 1169;
    static constexpr int IDC_BUTTON_ADD = 1140;
    static constexpr int IDC_CHECK_ENABLE = 1171;
    static constexpr int IDC_BUTTON_DELETE = 1176;
    static constexpr int IDC_LIST_FILTERS = 1168;
    static constexpr int BIT_COUNT = 29;

    /// Editor state of one identifier bit.
    enum BitState : std::uint8_t { BIT_ANY = 0, BIT_ZERO = 1, BIT_ONE = 2 };

    /// The section the page edits, held by its owner (the main window's record).
    using RecordType = protocol::HardFilterPara;

    CCANAdvanceDlg(ui::Host& host, ui::Dialog& parent, RecordType& record,
                   const sys::SystemServices& services);

    protocol::HardFilterPara& Record() { return record_; }
    const protocol::HardFilterPara& Record() const { return record_; }

    /// Rebuilds the list; a filterCount above MAX_HARD_FILTERS is cut to it.
    void RefreshList();
    /// Inserts the three list columns (done once by the main window).
    void CreateListColumns();
    /// Start-up selection: "扩展帧" in the frame-format list.
    void InitSelectors();

    // User commands, also reachable through the message map.
    /// Advances the state of the button labelled `label` (1..29): X -> 0 -> 1 -> X.
    void OnBitButton(int label);
    void OnFrameFormatChange();
    void AddFilter();
    void DeleteSelected();
    void OnEnableClicked();

    BitState StateOfBit(int bit) const { return static_cast<BitState>(bitState_.at(bit)); }

  private:
    void AppendRow(int row, std::uint8_t format, std::uint32_t value, std::uint32_t mask);

    protocol::HardFilterPara& record_;
    std::array<std::uint8_t, BIT_COUNT> bitState_{};
};

}  // namespace quillon::pages
