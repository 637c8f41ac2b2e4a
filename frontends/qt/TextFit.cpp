#include "frontends/qt/TextFit.hpp"

#include <algorithm>

namespace quillon::gui {

namespace {

constexpr int GAP_PX = 4;

bool SameLine(const QRect& a, const QRect& b) {
    return a.top() <= b.bottom() && b.top() <= a.bottom();
}

int RoomTo(const FitItem& item, const std::vector<FitItem>& items, int dialogWidth) {
    const QRect rect = item.widget->geometry();
    int limit = dialogWidth - GAP_PX;
    for (const FitItem& other : items) {
        const QRect otherRect = other.widget->geometry();
        if (other.widget == item.widget || other.frame || !SameLine(rect, otherRect) ||
            otherRect.left() <= rect.left()) {
            continue;
        }
        limit = std::min(limit, otherRect.left() - GAP_PX);
    }
    return limit - rect.left();
}

}  // namespace

void WidenClippedTexts(const std::vector<FitItem>& items, int dialogWidth) {
    for (const FitItem& item : items) {
        const int needed = item.widget->sizeHint().width();
        const int width = item.widget->width();
        if (!item.grows || needed <= width) {
            continue;
        }
        const int room = RoomTo(item, items, dialogWidth);
        item.widget->resize(std::max(width, std::min(needed, room)), item.widget->height());
    }
}

}  // namespace quillon::gui
