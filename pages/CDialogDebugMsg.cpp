#include "pages/CDialogDebugMsg.hpp"

#include <algorithm>
#include <array>

#include "pages/HexText.hpp"
#include "pages/PageTemplates.hpp"
#include "pages/PageTexts.hpp"
#include "platform/ui/DataExchange.hpp"

namespace quillon::pages {
namespace {

constexpr std::uint32_t Rgb(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    return red | (green << 8) | (blue << 16);
}

/// Text colour of levels 0..3: black, green, red, blue.
constexpr std::array<std::uint32_t, 4> LEVEL_COLOURS{Rgb(0, 0, 0), Rgb(0, 255, 0), Rgb(255, 0, 0),
                                                     Rgb(67, 110, 238)};
constexpr int HEX_LEVEL = 3;
constexpr std::size_t HEX_LIMIT = 99;
constexpr std::size_t TEXT_LIMIT = 299;
constexpr const char* PAUSE_TEXT = "暂停显示";
constexpr const char* CONTINUE_TEXT = "继续显示";

}  // namespace

CDialogDebugMsg::CDialogDebugMsg(ui::Host& host, ui::Dialog& parent,
                                 const sys::SystemServices& services)
    : ui::Dialog(DebugMsgTemplate(), host, &parent), services_(services) {
    OnCommand(IDC_BUTTON_CLEAR, [this] { ClearDisplay(); });
    OnCommand(IDC_BUTTON_PAUSE, [this] { TogglePause(); });
    OnCommand(IDC_BUTTON_SEND, [this] { OnSendClicked(); });
}

void CDialogDebugMsg::DoDataExchange(ui::DataExchange& exchange) {
    exchange.Text(IDC_EDIT_SEND, sendText_);
}

void CDialogDebugMsg::SetDefaults() {
    CheckDlgButton(IDC_CHECK_LINE_END, ui::BST_CHECKED);
}

std::string CDialogDebugMsg::MessageText(int level, std::span<const std::uint8_t> payload) const {
    if (level == HEX_LEVEL) {
        return payload.size() < HEX_LIMIT ? BytesToHexText(payload) : std::string();
    }
    if (payload.size() >= TEXT_LIMIT) {
        return {};
    }
    const auto end = std::find(payload.begin(), payload.end(), 0);
    return services_.codePages.ansi.ToUtf8(std::string(payload.begin(), end));
}

void CDialogDebugMsg::AppendDeviceMessage(int level, std::span<const std::uint8_t> payload) {
    if (level < 0 || level >= static_cast<int>(LEVEL_COLOURS.size())) {
        return;
    }
    auto lock = Lock();
    if (paused_) {
        return;  // dropped, not kept for later
    }
    if (level != lastLevel_) {
        lastLevel_ = static_cast<std::uint8_t>(level);
        colour_ = LEVEL_COLOURS[static_cast<std::size_t>(level)];
        heightTwips_ = FORMAT_HEIGHT_TWIPS;
    }
    AppendRun(IDC_RICHEDIT_DISPLAY,
              ui::TextRun{MessageText(level, payload), colour_, heightTwips_});
    lock.unlock();
    const DeviceMessage message{level, {payload.begin(), payload.end()}};
    for (const auto& observer : observers_) {
        observer(message);
    }
}

void CDialogDebugMsg::AddMessageObserver(MessageObserver observer) {
    observers_.push_back(std::move(observer));
}

void CDialogDebugMsg::ClearDisplay() {
    ClearRuns(IDC_RICHEDIT_DISPLAY);
    UpdateData(false);
}

void CDialogDebugMsg::TogglePause() {
    bool paused = false;
    {
        auto lock = Lock();
        paused_ = !paused_;
        paused = paused_;
    }
    SetDlgItemText(IDC_BUTTON_PAUSE, paused ? CONTINUE_TEXT : PAUSE_TEXT);
}

bool CDialogDebugMsg::IsPaused() const {
    auto lock = Lock();
    return paused_;
}

void CDialogDebugMsg::OnSendClicked() {
    UpdateData(true);
    if (Parent() != nullptr) {
        Parent()->SendMessage(WM_APP_DEBUG_SEND, 1, 1);
    }
}

std::string CDialogDebugMsg::TextToSend() const {
    std::string text = GetDlgItemText(IDC_EDIT_SEND);
    if (IsDlgButtonChecked(IDC_CHECK_LINE_END) == ui::BST_CHECKED) {
        text += "\r\n";
    }
    return text;
}

std::size_t CDialogDebugMsg::SendToDevice(const sys::CodePage& oem,
                                          kelvix::FrameTransmitter& link) {
    UpdateData(true);
    const std::string text = TextToSend();
    if (text.empty()) {
        return 0;
    }
    const std::size_t sent = SendDebugText(text, oem, link);
    if (sent == 0) {
        MessageBox(SEND_FAILED, CAPTION_WARNING, WARNING_STYLE);
    }
    return sent;
}

}  // namespace quillon::pages
