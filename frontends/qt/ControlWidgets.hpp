// Creates the widget that renders one control of a dialog template.
//
// Push buttons, check boxes, radio buttons, single- and multi-line edits,
// drop-down lists, report lists, sliders, progress bars, static texts, group
// frames, the rich-text display, the tab control and the icon each get their
// Qt counterpart, set up from the template's style bits. What changes at run
// time (text, checks, items, rows, ...) is left to the state sync.
#pragma once

#include <QWidget>

#include "platform/ui/DialogTemplate.hpp"

namespace quillon::gui {

/// A new child of `parent` for `control`; its geometry is the caller's.
QWidget* CreateControlWidget(const ui::ControlTemplate& control, QWidget* parent);

}  // namespace quillon::gui
