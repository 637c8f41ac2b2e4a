// Lets a label, check box or radio button whose text is wider than its
// template rectangle grow to the right, into free space only: up to the next
// control on the same line or the dialog's edge. Templates are measured for
// one font; this keeps texts whole in another without moving anything.
#pragma once

#include <QWidget>
#include <vector>

namespace quillon::gui {

struct FitItem {
    QWidget* widget;
    bool grows;  ///< a text that may widen
    bool frame;  ///< a group frame: contains others, never in the way
};

/// `items` are laid out at their template rectangles; `dialogWidth` in pixels.
void WidenClippedTexts(const std::vector<FitItem>& items, int dialogWidth);

}  // namespace quillon::gui
