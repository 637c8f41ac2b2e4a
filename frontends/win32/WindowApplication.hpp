// The program `quillon.exe`: the main window on the window system's own
// controls, with the options of the Qt window.
#pragma once

#include <string>
#include <vector>

#include "app/CQuillonDlg.hpp"
#include "frontends/win32/Win32Host.hpp"
#include "frontends/win32/WindowOptions.hpp"
#include "platform/system/SystemServices.hpp"

namespace quillon::win32 {

/// The error box's text when the rich-edit library cannot be loaded.
inline constexpr const char* RICH_EDIT_MISSING =
    "无法加载富文本控件库 Msftedit.dll，程序无法运行。";

/// Loads the common controls and the rich-edit library; false (after an
/// error box) when the window cannot be shown.
bool PrepareControls();

/// Opens the adapter dialog over `main` and returns once it closed.
void OpenAdapterDialog(ui::Host& host, app::CQuillonDlg& main);

/// Makes the windows of `options`: the main window with its pages, and every
/// other dialog as a window over its parent's.
void InstallWindowFactory(Win32Host& host, const WindowOptions& options,
                          const std::u16string& faceName);

/// Runs the program with `arguments` (UTF-8); returns its exit status.
int RunWindowApplication(const std::vector<std::string>& arguments);

}  // namespace quillon::win32
