// Dialog units to pixels for one font, the way dialog templates are measured:
// a horizontal unit is a quarter of the font's average character width, a
// vertical unit an eighth of its height.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

#include "platform/ui/DialogTemplate.hpp"

namespace quillon::gui {

class DialogUnits {
  public:
    explicit DialogUnits(const QFont& font);
    /// For tests and fixed layouts: `baseX` and `baseY` in pixels.
    DialogUnits(double baseX, double baseY) : baseX_(baseX), baseY_(baseY) {}

    int X(int dialogUnits) const;
    int Y(int dialogUnits) const;
    QRect ToPixels(const ui::Rect& rect) const;
    QSize ToPixels(int width, int height) const;

  private:
    double baseX_;
    double baseY_;
};

}  // namespace quillon::gui
