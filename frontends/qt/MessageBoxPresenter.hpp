// Shows one message box modally and returns the model's answer for it.
#pragma once

#include <QWidget>
#include <optional>
#include <string>
#include <string_view>

namespace quillon::gui {

/// GUI thread. The box shows `text` and `caption` exactly, with the icon and
/// buttons of `style`; returns IDOK, IDCANCEL, IDYES or IDNO.
int ShowMessageBox(QWidget* parent, std::string_view text, std::string_view caption,
                   unsigned style);
/// GUI thread. Asks for an existing file with the model's `filter`; nothing
/// when the user cancels.
std::optional<std::string> AskFileToOpen(QWidget* parent, std::string_view filter);
/// The save-file dialog, proposing `defaultName`; nothing when cancelled.
std::optional<std::string> AskFileToSave(QWidget* parent, std::string_view filter,
                                         std::string_view defaultName);

}  // namespace quillon::gui
