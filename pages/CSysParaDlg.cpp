#include "pages/CSysParaDlg.hpp"

#include <string>

#include "pages/PageTemplates.hpp"
#include "platform/ui/DataExchange.hpp"

namespace quillon::pages {
namespace {

constexpr int FILE_SIZE_MIN_MB = 1;
constexpr int FILE_SIZE_MAX_MB = 128;

int Checked(bool on) {
    return on ? ui::BST_CHECKED : ui::BST_UNCHECKED;
}

}  // namespace

CSysParaDlg::CSysParaDlg(ui::Host& host, ui::Dialog& parent, const sys::SystemServices&)
    : ui::Dialog(SysParaTemplate(), host, &parent) {
    OnNotify(IDC_SLIDER_FILE_SIZE, ui::NM_CUSTOMDRAW, [this] { return OnSliderDraw(); });
}

// Texts only (no complaints), so the lock may be held: the parameter read
// sets the identity texts from the receive thread.
void CSysParaDlg::DoDataExchange(ui::DataExchange& exchange) {
    auto lock = Lock();
    exchange.Text(IDC_EDIT_FILE_SIZE, fileSizeText_);
    exchange.Text(IDC_EDIT_HW_VERSION, hardwareVersionText_);
    exchange.Text(IDC_EDIT_FW_VERSION, firmwareVersionText_);
    exchange.Text(IDC_EDIT_SERIAL, serialText_);
    exchange.Text(IDC_EDIT_DEVICE_TYPE, deviceTypeText_);
}

// The slider is drawn whenever it moves: the size text follows its position.
ui::LRESULT CSysParaDlg::OnSliderDraw() {
    auto lock = Lock();
    UpdateData(true);
    fileSizeText_ = std::to_string(GetPos(IDC_SLIDER_FILE_SIZE));
    UpdateData(false);
    return 0;
}

void CSysParaDlg::SetStartupState() {
    SetRange(IDC_SLIDER_FILE_SIZE, FILE_SIZE_MIN_MB, FILE_SIZE_MAX_MB);
    SetPos(IDC_SLIDER_FILE_SIZE, FILE_SIZE_MIN_MB);
    CheckDlgButton(IDC_CHECK_SYSTEM_TIME, ui::BST_CHECKED);
    OnSliderDraw();
}

void CSysParaDlg::ShowRecord(const protocol::SysPara& sys) {
    SetPos(IDC_SLIDER_FILE_SIZE, sys.fileSizeMB);
    CheckDlgButton(IDC_CHECK_CYCLIC, Checked(sys.cyclicOverwrite != 0));
    CheckDlgButton(IDC_CHECK_FIRST_FRAME_ZERO, Checked(sys.firstFrameTimeZero != 0));
    CheckDlgButton(IDC_CHECK_ERROR_PROOFING, Checked(sys.errorProofing != 0));
    OnSliderDraw();
}

void CSysParaDlg::StoreToRecord(protocol::SysPara& sys) const {
    sys.fileSizeMB = static_cast<std::uint16_t>(GetPos(IDC_SLIDER_FILE_SIZE));
    sys.cyclicOverwrite = IsDlgButtonChecked(IDC_CHECK_CYCLIC) == ui::BST_CHECKED ? 1 : 0;
    sys.firstFrameTimeZero =
        IsDlgButtonChecked(IDC_CHECK_FIRST_FRAME_ZERO) == ui::BST_CHECKED ? 1 : 0;
    sys.errorProofing =
        IsDlgButtonChecked(IDC_CHECK_ERROR_PROOFING) == ui::BST_CHECKED ? ERROR_PROOFING_ON : 0;
}

void CSysParaDlg::SetIdentityTexts(std::string_view hardwareVersion,
                                   std::string_view firmwareVersion, std::string_view serial,
                                   std::string_view deviceType) {
    auto lock = Lock();
    UpdateData(true);
    hardwareVersionText_ = hardwareVersion;
    firmwareVersionText_ = firmwareVersion;
    serialText_ = serial;
    deviceTypeText_ = deviceType;
    UpdateData(false);
}

}  // namespace quillon::pages
