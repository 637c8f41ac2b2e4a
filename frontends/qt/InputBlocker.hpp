// While it lives, input to the windows that were open when it was made is
// dropped: mouse, keyboard, wheel and close requests. Windows opened later
// (a message box raised meanwhile) take input as usual.
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
};

}  // namespace quillon::gui
