#include "frontends/qt/InputBlocker.hpp"

#include <QApplication>
#include <QEvent>
#include <algorithm>

namespace quillon::gui {

namespace {

bool IsUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
            return true;
        default:
            return false;
    }
}

}  // namespace

InputBlocker::InputBlocker() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        blockedWindows_.emplace_back(window);
    }
    qApp->installEventFilter(this);
}

InputBlocker::~InputBlocker() {
    qApp->removeEventFilter(this);
    // Queued: the close runs from the next event processing that is no pause
    // (the caller's pump, or the main loop once the command is over).
    for (const QPointer<QWidget>& window : heldCloses_) {
        if (window != nullptr) {
            QMetaObject::invokeMethod(window, &QWidget::close, Qt::QueuedConnection);
        }
    }
}

bool InputBlocker::Blocks(const QWidget& widget) const {
    const QWidget* window = widget.window();
    return std::any_of(blockedWindows_.begin(), blockedWindows_.end(),
                       [window](const QPointer<QWidget>& blocked) { return blocked == window; });
}

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
    const bool close = event->type() == QEvent::Close;
    if (!watched->isWidgetType() || !(close || IsUserInput(event->type()))) {
        return false;
    }
    auto& widget = static_cast<QWidget&>(*watched);
    if (!Blocks(widget)) {
        return false;
    }
    if (close && widget.isWindow() &&
        std::find(heldCloses_.begin(), heldCloses_.end(), &widget) == heldCloses_.end()) {
        heldCloses_.emplace_back(&widget);
    }
    event->ignore();
    return true;
}

}  // namespace quillon::gui
