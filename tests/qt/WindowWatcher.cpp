#include "tests/qt/WindowWatcher.hpp"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QThread>
#include <QTimer>

#include "frontends/qt/MainWindow.hpp"

namespace quillon::test {

WindowWatcher::WindowWatcher() {
    qApp->installEventFilter(this);
}

WindowWatcher::~WindowWatcher() {
    qApp->removeEventFilter(this);
}

void WindowWatcher::AnswerBoxesWith(std::vector<QMessageBox::StandardButton> answers) {
    answers_.assign(answers.begin(), answers.end());
}

bool WindowWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Show) {
        return false;
    }
    if (auto* box = qobject_cast<QMessageBox*>(watched)) {
        QTimer::singleShot(0, box, [this, box] { Answer(*box); });
    } else if (auto* files = qobject_cast<QFileDialog*>(watched); files != nullptr && onFiles_) {
        QTimer::singleShot(0, files, [this, files] { onFiles_(*files); });
    } else if (auto* dialog = dynamic_cast<gui::DialogWindow*>(watched);
               dialog != nullptr && dynamic_cast<gui::MainWindow*>(dialog) == nullptr &&
               onDialog_) {
        QTimer::singleShot(0, dialog, [this, dialog] { onDialog_(*dialog); });
    }
    return false;
}

void WindowWatcher::Answer(QMessageBox& box) {
    SeenBox seen{box.text(),
                 box.windowTitle(),
                 box.icon(),
                 {},
                 QThread::currentThread() == qApp->thread() && box.thread() == qApp->thread()};
    for (QAbstractButton* button : box.buttons()) {
        seen.buttons.append(button->text());
    }
    boxes_.push_back(seen);
    if (onBox_) {
        onBox_(seen);
    }
    QAbstractButton* pressed = box.buttons().value(0);
    if (!answers_.empty()) {
        pressed = box.button(answers_.front());
        answers_.pop_front();
    }
    pressed->click();
}

bool RunUntil(const std::function<bool()>& done, int timeoutMs) {
    bool expired = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&expired] { expired = true; });
    guard.start(timeoutMs);
    while (!done() && !expired) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return done();
}

}  // namespace quillon::test
