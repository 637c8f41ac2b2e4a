#include "frontends/qt/QtHost.hpp"

#include <QApplication>
#include <QMessageBox>
#include <chrono>
#include <utility>

#include "frontends/qt/MessageBoxPresenter.hpp"
#include "frontends/qt/MessageBoxStyle.hpp"
#include "frontends/qt/ModalLoop.hpp"
#include "frontends/qt/ModelText.hpp"
#include "platform/ui/Dialog.hpp"

namespace quillon::gui {

namespace {

// By its text: which window a box sits over depends on the window active
// when it opened, not on its owner alone.
QMessageBox* FindOpenBox(const QString& text) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (box != nullptr && box->isVisible() && box->text() == text) {
            return box;
        }
    }
    return nullptr;
}

}  // namespace

QtHost::QtHost()
    : eventClock_([] {
          return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                std::chrono::steady_clock::now().time_since_epoch())
                                                .count());
      }) {}

QtHost::~QtHost() {
    relay_.DismissAll();
}

QWidget* QtHost::WindowFor(const ui::Dialog* dialog) const {
    for (const ui::Dialog* d = dialog; d != nullptr; d = d->Parent()) {
        if (const auto found = windows_.find(d); found != windows_.end()) {
            return found->second;
        }
    }
    return QApplication::activeWindow();
}

int QtHost::MessageBox(const ui::Dialog* owner, std::string_view text, std::string_view caption,
                       unsigned style) {
    if (dispatcher_.OnGuiThread()) {
        return ShowMessageBox(WindowFor(owner), text, caption, style);
    }
    return relay_.Ask([this, owner, text = std::string(text), caption = std::string(caption),
                       style] { return ShowMessageBox(WindowFor(owner), text, caption, style); },
                      ClosedBoxAnswer(style));
}

std::optional<std::string> QtHost::OpenFileDialog(const ui::Dialog* owner,
                                                  std::string_view filter) {
    if (dispatcher_.OnGuiThread()) {
        return AskFileToOpen(WindowFor(owner), filter);
    }
    auto chosen = std::make_shared<std::optional<std::string>>();
    const int answered = relay_.Ask(
        [this, owner, filter = std::string(filter), chosen] {
            *chosen = AskFileToOpen(WindowFor(owner), filter);
            return ui::IDOK;
        },
        ui::IDCANCEL);
    return answered == ui::IDOK ? *chosen : std::nullopt;
}

std::optional<std::string> QtHost::SaveFileDialog(const ui::Dialog* owner, std::string_view filter,
                                                  std::string_view defaultName) {
    if (dispatcher_.OnGuiThread()) {
        return AskFileToSave(WindowFor(owner), filter, defaultName);
    }
    auto chosen = std::make_shared<std::optional<std::string>>();
    const int answered = relay_.Ask(
        [this, owner, filter = std::string(filter), name = std::string(defaultName), chosen] {
            *chosen = AskFileToSave(WindowFor(owner), filter, name);
            return ui::IDOK;
        },
        ui::IDCANCEL);
    return answered == ui::IDOK ? *chosen : std::nullopt;
}

void QtHost::CloseMessageBox(const ui::Dialog*, std::string_view text) {
    auto close = [shown = DisplayText(text)] {
        if (QMessageBox* box = FindOpenBox(shown)) {
            box->close();  // the box's own close: its escape button answers
        }
    };
    if (dispatcher_.OnGuiThread()) {
        close();
    } else {
        dispatcher_.Post(close);
    }
}

int QtHost::RunModal(ui::Dialog& dialog) {
    ModalLoop loop(dialog, dispatcher_);
    std::unique_ptr<QWidget> window = windowFactory_ ? windowFactory_(dialog) : nullptr;
    if (window == nullptr) {
        return dialog.ModalResult();  // no way to show it: it ends unanswered
    }
    windows_[&dialog] = window.get();
    window->show();
    window->raise();
    window->activateWindow();
    loop.Run();
    windows_.erase(&dialog);
    return dialog.ModalResult();
}

void QtHost::OnPump() {
    dispatcher_.RunPending();
    RunToolkitEvents();
}

void QtHost::RunToolkitEvents() {
    if (inToolkitEvents_ || !dispatcher_.OnGuiThread()) {
        return;
    }
    const std::uint64_t now = eventClock_();
    if (now - lastToolkitEventsMs_ < TOOLKIT_EVENTS_INTERVAL_MS) {
        return;
    }
    lastToolkitEventsMs_ = now;
    inToolkitEvents_ = true;
    QCoreApplication::processEvents();
    inToolkitEvents_ = false;
}

void QtHost::OnMessagePosted() {
    if (pumpQueued_.exchange(true)) {
        return;
    }
    dispatcher_.Post([this] {
        pumpQueued_ = false;
        // A short pump from the event loop itself: the toolkit's events are
        // running already, and must not nest here.
        const bool outer = std::exchange(inToolkitEvents_, true);
        PumpMessages();
        inToolkitEvents_ = outer;
    });
}

}  // namespace quillon::gui
