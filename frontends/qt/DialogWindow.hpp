// A top-level window showing one dialog of the model while it runs modally:
// its caption, the program icon and the dialog's view at the template size.
// The close box and the Escape key mean Cancel, Enter means OK, as in any
// dialog; what they do is up to the dialog's message map.
#pragma once

#include <QWidget>

#include "frontends/qt/DialogUnits.hpp"
#include "frontends/qt/DialogView.hpp"
#include "frontends/qt/GuiDispatcher.hpp"
#include "platform/ui/Dialog.hpp"

namespace quillon::gui {

class DialogWindow : public QWidget {
  public:
    DialogWindow(ui::Dialog& dialog, GuiDispatcher& dispatcher, const DialogUnits& units,
                 QWidget* parent = nullptr);

    DialogView& View() const { return *view_; }
    ui::Dialog& Model() const { return view_->Model(); }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    /// Runs when the user asks the window to close (`command` IDCANCEL) or
    /// presses Enter (IDOK). Default: the dialog's own OK/Cancel handling, or
    /// ending the dialog with `command` when it has none.
    virtual void RequestClose(int command);

  private:
    DialogView* view_;
};

}  // namespace quillon::gui
