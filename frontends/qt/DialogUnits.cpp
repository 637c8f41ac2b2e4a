#include "frontends/qt/DialogUnits.hpp"

#include <QFontMetricsF>
#include <cmath>

namespace quillon::gui {

namespace {
// The average width is taken over the Latin letters, as templates assume.
constexpr const char* AVERAGE_SAMPLE = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr double AVERAGE_SAMPLE_LENGTH = 52.0;
}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetricsF metrics(font);
    baseX_ = metrics.horizontalAdvance(QString::fromLatin1(AVERAGE_SAMPLE)) / AVERAGE_SAMPLE_LENGTH;
    baseY_ = metrics.height();
}

int DialogUnits::X(int dialogUnits) const {
    return static_cast<int>(std::lround(dialogUnits * baseX_ / 4.0));
}

int DialogUnits::Y(int dialogUnits) const {
    return static_cast<int>(std::lround(dialogUnits * baseY_ / 8.0));
}

QRect DialogUnits::ToPixels(const ui::Rect& rect) const {
    // Edges are converted, not sizes, so neighbouring controls stay flush.
    const int left = X(rect.x);
    const int top = Y(rect.y);
    return {left, top, X(rect.x + rect.width) - left, Y(rect.y + rect.height) - top};
}

QSize DialogUnits::ToPixels(int width, int height) const {
    return {X(width), Y(height)};
}

}  // namespace quillon::gui
