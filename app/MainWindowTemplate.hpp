// The main window's dialog template (102) and the about box's (100).
#pragma once

#include "platform/ui/DialogTemplate.hpp"

namespace quillon::app {

const ui::DialogTemplate& MainWindowTemplate();
const ui::DialogTemplate& AboutBoxTemplate();

/// Margin, in dialog units, around the tab control when a front end shows the
/// parameter pages below the window's commands.
inline constexpr int PAGES_MARGIN_DLU = 7;

/// Top of the highest control `info` shows, the tab control left out, in
/// dialog units: the window lifts the shown pages up to it.
int CommandAreaTop(const ui::DialogTemplate& info);

/// The system-menu text of the about box item.
inline constexpr const char* ABOUT_MENU_TEXT = "关于 Quillon(&A)...";

}  // namespace quillon::app
