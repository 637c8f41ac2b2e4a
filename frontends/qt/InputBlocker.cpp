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
        case QEvent::Close:
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
}

bool InputBlocker::Blocks(const QWidget& widget) const {
    const QWidget* window = widget.window();
    return std::any_of(blockedWindows_.begin(), blockedWindows_.end(),
                       [window](const QPointer<QWidget>& blocked) { return blocked == window; });
}

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType() || !IsUserInput(event->type())) {
        return false;
    }
    if (!Blocks(static_cast<QWidget&>(*watched))) {
        return false;
    }
    event->ignore();
    return true;
}

}  // namespace quillon::gui
