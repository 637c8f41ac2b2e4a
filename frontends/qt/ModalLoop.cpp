#include "frontends/qt/ModalLoop.hpp"

#include "platform/ui/DialogObserver.hpp"

namespace quillon::gui {

ModalLoop::ModalLoop(ui::Dialog& dialog, GuiDispatcher& dispatcher)
    : dialog_(dialog), dispatcher_(dispatcher), self_(std::make_shared<ModalLoop*>(this)) {
    dialog_.AddObserver(this);
}

ModalLoop::~ModalLoop() {
    dialog_.RemoveObserver(this);
}

void ModalLoop::Run() {
    if (!dialog_.IsEnded()) {
        loop_.exec();
    }
}

void ModalLoop::OnControlChanged(const ui::Dialog&, int controlId) {
    if (controlId != ui::DIALOG_ITSELF) {
        return;
    }
    std::weak_ptr<ModalLoop*> self = self_;
    dispatcher_.Post([self] {
        if (auto loop = self.lock(); loop && (*loop)->dialog_.IsEnded()) {
            (*loop)->loop_.quit();
        }
    });
}

}  // namespace quillon::gui
