// `quillon --show-pages`: for users who configure devices from the window.
//
// As delivered the main window hides the tab control and disables the
// buttons of the parameter write and read, the storage initialisation and the
// two sibling tools. This option shows the tab control with its ten pages,
// shows the hidden bit-timing button and enables all five buttons, whatever
// the window menu's item last left (CQuillonDlg::ShowParameterPages).
#pragma once

#include "app/CQuillonDlg.hpp"

namespace quillon::gui {

/// Buttons that the option enables (and shows).
inline constexpr const auto& SHOW_PAGES_BUTTONS = app::PAGE_BUTTONS;

/// Applies the option to a created main window.
void ShowPages(app::CQuillonDlg& window);

/// Puts "设置目录: DIR" on the status line, so the user sees where a write
/// will save the settings before the first write.
void ShowSettingsDirectory(app::CQuillonDlg& window);

}  // namespace quillon::gui
