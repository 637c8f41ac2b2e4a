// The record converter's window: an input log, the format to write, the
// output file (proposed from the input and the format, editable) and the
// candump interface names of the two channels in; "转换" converts through
// ConvertLog, the progress bar following the input read so far while the
// host's messages are pumped, so a large log keeps the window alive. Failures
// are shown in ConvertLog's own words; nothing here reads or writes a log.
#pragma once

#include <string>

#include "canlog/ConvertLog.hpp"
#include "platform/ui/Dialog.hpp"

namespace quillon::refold {

inline constexpr int IDD_REFOLD = 151;
inline constexpr int IDC_REFOLD_INPUT = 1421;
inline constexpr int IDC_REFOLD_BROWSE = 1422;
inline constexpr int IDC_REFOLD_FORMAT = 1423;
inline constexpr int IDC_REFOLD_OUTPUT = 1424;
inline constexpr int IDC_REFOLD_CHANNELS = 1425;
inline constexpr int IDC_REFOLD_CONVERT = 1426;
inline constexpr int IDC_REFOLD_PROGRESS = 1427;
inline constexpr int IDC_REFOLD_STATUS = 1428;

/// The output format list's rows, top to bottom.
enum FormatRow { ROW_CANDUMP, ROW_ASC, ROW_CSV, ROW_RECORDER };

class CRefoldDlg : public ui::Dialog {
  public:
    explicit CRefoldDlg(ui::Host& host);

  protected:
    bool OnInitDialog() override;

  private:
    void OnBrowse();
    void OnOutputTyped();
    void OnConvert();
    void ProposeOutput();
    void ShowProgress(int percent);
    void EnableInput(bool enabled);
    canlog::LogFormat SelectedFormat() const;
    void Warn(const std::string& text);

    /// The user typed an output name of their own: it is no longer proposed.
    bool outputTyped_ = false;
    bool converting_ = false;
};

/// The converter's dialog template.
const ui::DialogTemplate& RefoldDlgTemplate();

}  // namespace quillon::refold
