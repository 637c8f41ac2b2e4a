#include "platform/ui/DialogTemplate.hpp"

#include "platform/ui/WindowMessages.hpp"

namespace quillon::ui {

const ControlTemplate* DialogTemplate::Find(int id) const {
    if (id == IDC_STATIC) {
        return nullptr;
    }
    for (const auto& control : controls) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

}  // namespace quillon::ui
