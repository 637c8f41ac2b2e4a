// Keeps a QTextEdit showing the runs of the model's rich-text display. Runs
// only ever grow between clears, so new runs are appended with their colour
// and height; anything else (a clear, a replaced run) redraws the whole text.
// After a change the display scrolls to its end, as the device console does.
#pragma once

#include <vector>

#include "platform/ui/ControlState.hpp"

class QTextEdit;

namespace quillon::gui {

class RichTextSync {
  public:
    explicit RichTextSync(QTextEdit& display) : display_(display) {}

    void Apply(const std::vector<ui::TextRun>& runs);

  private:
    void Append(const ui::TextRun& run);

    QTextEdit& display_;
    std::vector<ui::TextRun> shown_;
};

}  // namespace quillon::gui
