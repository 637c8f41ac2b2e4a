// Runs an event loop until a dialog of the model ends (EndDialog), however and
// on whichever thread the ending is reported.
#pragma once

#include <QEventLoop>
#include <memory>

#include "frontends/qt/GuiDispatcher.hpp"
#include "platform/ui/Dialog.hpp"

namespace quillon::gui {

class ModalLoop : private ui::DialogObserver {
  public:
    ModalLoop(ui::Dialog& dialog, GuiDispatcher& dispatcher);
    ~ModalLoop() override;
    ModalLoop(const ModalLoop&) = delete;
    ModalLoop& operator=(const ModalLoop&) = delete;

    /// GUI thread: returns once the dialog has ended (at once if it has).
    void Run();

  private:
    void OnControlChanged(const ui::Dialog& dialog, int controlId) override;

    ui::Dialog& dialog_;
    GuiDispatcher& dispatcher_;
    QEventLoop loop_;
    std::shared_ptr<ModalLoop*> self_;
};

}  // namespace quillon::gui
