// Message-box texts, captions and styles shared by the parameter pages.
#pragma once

#include <cstdint>

#include "platform/ui/SharedTexts.hpp"
#include "platform/ui/WindowMessages.hpp"

namespace quillon::pages {

/// Caption of every warning box of the pages.
using ui::CAPTION_WARNING;
/// Style of the warning boxes: OK button and the question-mark icon.
inline constexpr unsigned WARNING_STYLE = ui::MB_OK | ui::MB_ICONQUESTION;
/// Style of the delete-without-selection box: OK, no icon, the application's title.
inline constexpr unsigned NOTICE_STYLE = ui::MB_OK;

inline constexpr const char* SELECT_ROW_TO_DELETE = "请选择一行删除";
inline constexpr const char* RULES_FULL = "规则数量已满!";
using ui::SEND_FAILED;

/// Sent by the debug page to the main window to have its text sent (wParam 1, lParam 1).
inline constexpr std::uint32_t WM_APP_DEBUG_SEND = 0x404;

}  // namespace quillon::pages
