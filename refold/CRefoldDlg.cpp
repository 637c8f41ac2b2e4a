#include "refold/CRefoldDlg.hpp"

#include <array>

#include "platform/system/Utf8Path.hpp"
#include "platform/ui/Host.hpp"
#include "platform/ui/SharedTexts.hpp"
#include "refold/OutputName.hpp"
#include "refold/RefoldTexts.hpp"

namespace quillon::refold {
namespace {

// The formats in FormatRow order.
constexpr std::array<canlog::LogFormat, 4> FORMATS = {
    canlog::LogFormat::Candump, canlog::LogFormat::Asc, canlog::LogFormat::Csv,
    canlog::LogFormat::Recorder};

// candump logs are what people bring; ASC is what they are usually asked for.
constexpr int INITIAL_ROW = ROW_ASC;

// Everything the user can change while no conversion runs.
constexpr int INPUTS[] = {IDC_REFOLD_INPUT,  IDC_REFOLD_BROWSE,   IDC_REFOLD_FORMAT,
                          IDC_REFOLD_OUTPUT, IDC_REFOLD_CHANNELS, IDC_REFOLD_CONVERT};

}  // namespace

CRefoldDlg::CRefoldDlg(ui::Host& host) : ui::Dialog(RefoldDlgTemplate(), host) {
    OnCommand(IDC_REFOLD_BROWSE, [this] { OnBrowse(); });
    OnCommand(
        IDC_REFOLD_INPUT, [this] { ProposeOutput(); }, ui::EN_CHANGE);
    OnCommand(
        IDC_REFOLD_FORMAT, [this] { ProposeOutput(); }, ui::CBN_SELCHANGE);
    OnCommand(
        IDC_REFOLD_OUTPUT, [this] { OnOutputTyped(); }, ui::EN_CHANGE);
    OnCommand(IDC_REFOLD_CONVERT, [this] { OnConvert(); });
    OnCommand(ui::IDOK, [this] { OnConvert(); });
    OnCommand(ui::IDCANCEL, [this] {
        // A conversion under way ends first; its output appears whole or not at all.
        if (!converting_) {
            EndDialog(ui::IDCANCEL);
        }
    });
}

bool CRefoldDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    SetCurSel(IDC_REFOLD_FORMAT, INITIAL_ROW);
    const auto& names = canlog::DEFAULT_CHANNEL_NAMES;
    SetDlgItemText(IDC_REFOLD_CHANNELS, names[0] + "," + names[1]);
    SetRange(IDC_REFOLD_PROGRESS, 0, 100);
    SetPos(IDC_REFOLD_PROGRESS, 0);
    SetDlgItemText(IDC_REFOLD_STATUS, STATUS_READY);
    return true;
}

void CRefoldDlg::OnBrowse() {
    if (const auto path = GetHost().OpenFileDialog(this, LOG_FILE_FILTER)) {
        SetDlgItemText(IDC_REFOLD_INPUT, *path);
        ProposeOutput();
    }
}

void CRefoldDlg::OnOutputTyped() {
    // Emptied, the output follows the input and the format again.
    outputTyped_ = !GetDlgItemText(IDC_REFOLD_OUTPUT).empty();
}

void CRefoldDlg::ProposeOutput() {
    if (!outputTyped_) {
        SetDlgItemText(IDC_REFOLD_OUTPUT,
                       DefaultOutputName(GetDlgItemText(IDC_REFOLD_INPUT), SelectedFormat()));
    }
}

canlog::LogFormat CRefoldDlg::SelectedFormat() const {
    const int row = GetCurSel(IDC_REFOLD_FORMAT);
    return row >= 0 && row < static_cast<int>(FORMATS.size()) ? FORMATS[row] : FORMATS[INITIAL_ROW];
}

void CRefoldDlg::OnConvert() {
    if (converting_) {
        return;
    }
    const std::string input = GetDlgItemText(IDC_REFOLD_INPUT);
    if (input.empty()) {
        Warn(NO_INPUT);
        return;
    }
    const std::string output = GetDlgItemText(IDC_REFOLD_OUTPUT);
    if (output.empty()) {
        Warn(NO_OUTPUT);
        return;
    }
    canlog::ConvertOptions options;
    if (!canlog::ParseChannelNames(GetDlgItemText(IDC_REFOLD_CHANNELS), options.names).empty()) {
        Warn(BAD_CHANNELS);
        return;
    }
    converting_ = true;
    EnableInput(false);
    ShowProgress(0);
    const auto reported = [this](const canlog::ConvertProgress& progress) {
        ShowProgress(ProgressPercent(progress));
        // As the firmware upgrade does: the window repaints and queued work
        // runs while a large log is read on this thread.
        GetHost().PumpMessages();
    };
    const canlog::ConvertResult result = canlog::ConvertLog(
        sys::PathFromUtf8(input), sys::PathFromUtf8(output), SelectedFormat(), reported, options);
    converting_ = false;
    EnableInput(true);
    if (!result.ok) {
        SetDlgItemText(IDC_REFOLD_STATUS, STATUS_FAILED);
        Warn(result.error);
        return;
    }
    const std::string done = DoneText(result.frames, output);
    SetDlgItemText(IDC_REFOLD_STATUS, done);
    MessageBox(done, REFOLD_CAPTION, ui::MB_ICONINFORMATION);
}

void CRefoldDlg::ShowProgress(int percent) {
    SetPos(IDC_REFOLD_PROGRESS, percent);
    SetDlgItemText(IDC_REFOLD_STATUS, ProgressText(percent));
}

void CRefoldDlg::EnableInput(bool enabled) {
    for (const int id : INPUTS) {
        EnableWindow(id, enabled);
    }
}

void CRefoldDlg::Warn(const std::string& text) {
    MessageBox(text, ui::CAPTION_WARNING, ui::MB_ICONQUESTION);
}

}  // namespace quillon::refold
