// The look every window shares: a dialog font that renders Chinese text, and
// the program icon.
#pragma once

#include <QCoreApplication>
#include <QFont>
#include <QIcon>
#include <QTranslator>

namespace quillon::gui {

/// The dialog font: a CJK sans-serif face at 9 points where one is installed.
QFont DialogFont();
/// The program icon, drawn rather than loaded so the binary needs no resources.
QIcon ProgramIcon();
/// Makes Qt's own dialogs (the file dialog, standard buttons) speak Chinese
/// like the rest of the window, whatever the system's locale. The translator
/// belongs to `application`; null when the translation is not installed (the
/// dialogs then stay in Qt's English).
QTranslator* InstallQtChineseTranslation(QCoreApplication& application);

}  // namespace quillon::gui
