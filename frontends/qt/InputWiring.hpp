// Feeds what the user does to a widget into the dialog model, the way the
// window system would report it: clicks, typed text, list choices, selected
// rows, slider drags and tab changes. The model then runs its message map.
// `reconcile` runs after each input so the widget shows what the model made
// of it (a refused tab change, a check the handler reverted).
#pragma once

#include <QWidget>
#include <functional>

#include "platform/ui/Dialog.hpp"

namespace quillon::gui {

void ConnectInput(QWidget& widget, ui::ControlKind kind, ui::Dialog& dialog, int id,
                  std::function<void()> reconcile);

}  // namespace quillon::gui
