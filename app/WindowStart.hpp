// How every front end opens the main window: the pages shown when the
// `--show-pages` option asks for them or the window menu's item last left them
// shown, and "设置目录: DIR" on the status line, so the user sees where a
// write will save the settings before the first write.
#pragma once

#include "app/CQuillonDlg.hpp"

namespace quillon::app {

/// The status line's text before the settings folder.
inline constexpr const char* STATUS_SETTINGS_DIRECTORY = "设置目录: ";

/// Puts the settings folder on the status line.
void ShowSettingsDirectory(CQuillonDlg& window);

/// Prepares a created main window for showing, `showPagesOption` from the
/// command line.
void PrepareMainWindow(CQuillonDlg& window, bool showPagesOption);

}  // namespace quillon::app
