// Shows a control's live state in its widget: visibility, enabled state,
// text, check, items and selection, rows, range and position. Signals of the
// widget are blocked meanwhile, so showing the model never feeds back into it.
// The rich-text display has its own RichTextSync. GUI thread only.
#pragma once

#include <QWidget>

#include "platform/ui/ControlState.hpp"
#include "platform/ui/DialogTemplate.hpp"

namespace quillon::gui {

void ApplyControlState(QWidget& widget, ui::ControlKind kind, const ui::ControlState& state);

}  // namespace quillon::gui
