// The look every window shares: a dialog font that renders Chinese text, and
// the program icon.
#pragma once

#include <QFont>
#include <QIcon>

namespace quillon::gui {

/// The dialog font: a CJK sans-serif face at 9 points where one is installed.
QFont DialogFont();
/// The program icon, drawn rather than loaded so the binary needs no resources.
QIcon ProgramIcon();

}  // namespace quillon::gui
