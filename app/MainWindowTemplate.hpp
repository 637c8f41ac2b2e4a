// The main window's dialog template (102) and the about box's (100).
#pragma once

#include "platform/ui/DialogTemplate.hpp"

namespace quillon::app {

const ui::DialogTemplate& MainWindowTemplate();
const ui::DialogTemplate& AboutBoxTemplate();

/// The system-menu text of the about box item.
inline constexpr const char* ABOUT_MENU_TEXT = "关于 Quillon(&A)...";

}  // namespace quillon::app
