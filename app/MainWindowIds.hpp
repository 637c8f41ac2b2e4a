// Control ids, messages and commands of the main window (template 102).
#pragma once

#include <cstdint>

#include "platform/ui/SharedTexts.hpp"
#include "platform/ui/WindowMessages.hpp"

namespace quillon::app {

inline constexpr int IDD_MAIN_WINDOW = 102;
inline constexpr int IDD_ABOUTBOX = 100;

inline constexpr int IDC_TAB = 1000;
inline constexpr int IDC_CONNECT = 1028;
inline constexpr int IDC_WRITE_PARAMETERS = 1003;
inline constexpr int IDC_READ_PARAMETERS = 1004;
inline constexpr int IDC_STORAGE_INIT = 1172;
inline constexpr int IDC_CONVERTER = 1008;
inline constexpr int IDC_BAUD_CALCULATOR = 1006;
inline constexpr int IDC_MANUAL = 1007;
inline constexpr int IDC_UPGRADE = 1177;
inline constexpr int IDC_ENTER_UPGRADE = 1221;
inline constexpr int IDC_ADAPTER_INDEX = 1139;
inline constexpr int IDC_PROGRESS = 1219;
inline constexpr int IDC_STATUS = 1220;
inline constexpr int IDC_UPGRADE_MODE = 1222;
inline constexpr int IDC_DEVICE_INFO = 1223;
inline constexpr int IDC_PROGRAM_INFO = 1281;

/// Posted by the frame handler; the user-interface thread then runs RefreshPages.
inline constexpr std::uint32_t WM_APP_PARAMS_READY = 0x401;
/// Sent by the debug page to have its text sent to the device.
inline constexpr std::uint32_t WM_APP_DEBUG_SEND = 0x404;
/// A system-menu command; wParam is the command identifier.
inline constexpr std::uint32_t WM_SYSCOMMAND = 0x0112;
/// The system-menu item that opens the about box.
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;
/// The system-menu item that shows or hides the parameter pages.
inline constexpr unsigned IDM_SHOWPAGES = 0x0020;
/// The system-menu items that export and import the configuration as text.
inline constexpr unsigned IDM_EXPORTCONFIG = 0x0030;
inline constexpr unsigned IDM_IMPORTCONFIG = 0x0040;
inline constexpr unsigned SC_CLOSE = 0xF060;

using ui::CAPTION_WARNING;
inline constexpr const char* CAPTION_NOTICE = "通知";

}  // namespace quillon::app
