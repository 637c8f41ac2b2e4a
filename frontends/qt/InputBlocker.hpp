// While it lives, input to the windows that were open when it was made is
// dropped: mouse, keyboard and wheel. Windows opened later (a message box
// raised meanwhile) take input as usual. A request to close such a window
// (its close box, Alt+F4, the window system's own) is held instead and made
// again once the blocker is gone: the window decides what a close means (the
// upgrade asks first), and a request lost here would leave it open for good.
//
// Used while the GUI thread waits inside a command (the firmware upgrade's
// pauses, the disconnect's wait): the window keeps painting and the queued
// work keeps running, but a click cannot start a second command in the middle
// of the first one. Clicks made meanwhile are lost, not replayed afterwards.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

namespace quillon::gui {

class InputBlocker : public QObject {
  public:
    InputBlocker();
    ~InputBlocker() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool Blocks(const QWidget& widget) const;

    std::vector<QPointer<QWidget>> blockedWindows_;
    std::vector<QPointer<QWidget>> heldCloses_;
};

}  // namespace quillon::gui
