// Debug console page (template 138): shows the device's debug text, coloured
// by level, and asks the main window to send the typed text.
//
// Threading: AppendDeviceMessage runs on the receive thread. It touches the
// page only under the lock the page shares with the main window and never
// shows a message box. Everything else runs on the user-interface thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "pages/PageTexts.hpp"
#include "platform/kelvix/FrameTransmitter.hpp"
#include "platform/system/SystemServices.hpp"
#include "platform/ui/Dialog.hpp"
#include "platform/ui/Host.hpp"

namespace quillon::pages {

class CDialogDebugMsg : public ui::Dialog {
  public:
    static constexpr int IDC_RICHEDIT_DISPLAY = 1227;
    static constexpr int IDC_BUTTON_CLEAR = 1268;
    static constexpr int IDC_BUTTON_PAUSE = 1269;
    static constexpr int IDC_EDIT_SEND = 1271;
    static constexpr int IDC_CHECK_LINE_END = 1273;
    static constexpr int IDC_BUTTON_SEND = 1267;
    /// Character height of every format change, in twips.
    static constexpr int FORMAT_HEIGHT_TWIPS = 144;

    /// One message the device sent: its level 0..3 and its data bytes.
    struct DeviceMessage {
        int level = 0;
        std::vector<std::uint8_t> bytes;
    };
    using MessageObserver = std::function<void(const DeviceMessage&)>;

    CDialogDebugMsg(ui::Host& host, ui::Dialog& parent, const sys::SystemServices& services);

    /// Called with every message the page shows, on the thread that appends it.
    void AddMessageObserver(MessageObserver observer);
    /// A message as the page shows it: hexadecimal bytes at level 3, text in
    /// the ANSI code page up to its first zero byte otherwise; empty when too long.
    std::string MessageText(int level, std::span<const std::uint8_t> payload) const;

    /// Shows one received debug frame: level 0..3 (offset from the first debug identifier), the
    /// deciphered data bytes (DataLen of them). Dropped while paused.
    void AppendDeviceMessage(int level, std::span<const std::uint8_t> payload);
    /// Start-up defaults: "换行" ticked.
    void SetDefaults();
    /// The text to send as the controls hold it now, with CR LF when "换行" is ticked.
    std::string TextToSend() const;
    /// The whole send of the main window's WM_APP_DEBUG_SEND handler: takes
    /// the controls, sends TextToSend() and shows the failure message when a
    /// frame is refused. Returns the bytes sent, or 0.
    std::size_t SendToDevice(const sys::CodePage& oem, kelvix::FrameTransmitter& link);

    // User commands, also reachable through the message map.
    void ClearDisplay();
    void TogglePause();
    void OnSendClicked();

    bool IsPaused() const;

  protected:
    void DoDataExchange(ui::DataExchange& exchange) override;

  private:
    std::vector<MessageObserver> observers_;

    const sys::SystemServices& services_;
    std::string sendText_;
    // Guarded by Lock(): written on the user-interface thread, read on the receive thread.
    bool paused_ = false;
    std::uint8_t lastLevel_ = 0;
    std::uint32_t colour_ = 0;  ///< 0x00BBGGRR of the text appended next
    int heightTwips_ = 0;       ///< 0 until the first format change
};

/// Sends `utf8Text` to the device as debug text frames of level 0: converted
/// to the OEM code page, cut to DEBUG_TEXT_MAX bytes, in frames of 8 bytes and one shorter
/// remainder, each enciphered and transmitted alone. Stops at the first refused frame. Returns the
/// number of bytes sent, or 0 when the text is empty or a frame was refused (the caller shows
/// SEND_FAILED in that case).
std::size_t SendDebugText(std::string_view utf8Text, const sys::CodePage& oem,
                          kelvix::FrameTransmitter& link);

inline constexpr std::size_t DEBUG_TEXT_MAX = 1000;

}  // namespace quillon::pages
