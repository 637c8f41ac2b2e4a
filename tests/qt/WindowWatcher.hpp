// Watches the windows a test makes appear: every message box is recorded as
// the user sees it (text, caption, icon, button captions, the thread it runs
// on) and answered from a script; file dialogs and other dialog windows go
// to a reaction.
// Answers are given from the box's own event loop, as a user would.
#pragma once

#include <QFileDialog>
#include <QMessageBox>
#include <QObject>
#include <deque>
#include <functional>
#include <vector>

#include "frontends/qt/DialogWindow.hpp"

namespace quillon::test {

struct SeenBox {
    QString text;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    bool onGuiThread = false;
};

class WindowWatcher : public QObject {
  public:
    WindowWatcher();
    ~WindowWatcher() override;

    /// The next boxes are answered with these buttons; afterwards with their first button.
    void AnswerBoxesWith(std::vector<QMessageBox::StandardButton> answers);
    /// Runs on the GUI thread as each box shows, before it is answered.
    void OnBoxShown(std::function<void(const SeenBox&)> hook) { onBox_ = std::move(hook); }
    /// Runs for each other dialog window that shows (the about box).
    void OnDialogShown(std::function<void(gui::DialogWindow&)> reaction) {
        onDialog_ = std::move(reaction);
    }
    /// Runs for each open-file dialog that shows; it should accept or reject it.
    void OnFileDialogShown(std::function<void(QFileDialog&)> reaction) {
        onFiles_ = std::move(reaction);
    }
    const std::vector<SeenBox>& Boxes() const { return boxes_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Answer(QMessageBox& box);

    std::deque<QMessageBox::StandardButton> answers_;
    std::function<void(const SeenBox&)> onBox_;
    std::function<void(gui::DialogWindow&)> onDialog_;
    std::function<void(QFileDialog&)> onFiles_;
    std::vector<SeenBox> boxes_;
};

/// Runs the GUI thread's events until `done` holds or `timeoutMs` of waiting
/// pass; returns `done()`. It waits for events, never sleeps.
bool RunUntil(const std::function<bool()>& done, int timeoutMs = 5000);

}  // namespace quillon::test
