// Makes the window for a dialog that runs modally: the main window (with the
// --show-pages option applied) for the main dialog, a plain modal dialog
// window over the active window for any other (the about box).
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "frontends/qt/DialogUnits.hpp"
#include "frontends/qt/GuiOptions.hpp"
#include "frontends/qt/MainWindow.hpp"
#include "frontends/qt/QtHost.hpp"

namespace quillon::gui {

class WindowFactory {
  public:
    WindowFactory(QtHost& host, const DialogUnits& units, GuiOptions options);

    std::unique_ptr<QWidget> Create(ui::Dialog& dialog);
    /// Runs for every main window made, before it is shown.
    void OnMainWindow(std::function<void(MainWindow&)> hook) { onMainWindow_ = std::move(hook); }

  private:
    QtHost& host_;
    DialogUnits units_;
    GuiOptions options_;
    std::function<void(MainWindow&)> onMainWindow_;
};

}  // namespace quillon::gui
