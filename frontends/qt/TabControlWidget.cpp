#include "frontends/qt/TabControlWidget.hpp"

#include <QFrame>
#include <QProxyStyle>
#include <QResizeEvent>
#include <QTabBar>
#include <algorithm>

namespace quillon::gui {

namespace {

// Ten captions must fit one row: tabs get less padding than the style's own.
class CompactTabStyle : public QProxyStyle {
  public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_TabBarTabHSpace) {
            return QProxyStyle::pixelMetric(metric, option, widget) / 2;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

}  // namespace

TabControlWidget::TabControlWidget(QWidget* parent)
    : QWidget(parent), bar_(new QTabBar(this)), pane_(new QFrame(this)) {
    auto* style = new CompactTabStyle;
    style->setParent(this);
    bar_->setStyle(style);
    bar_->setExpanding(false);
    bar_->setDrawBase(false);
    pane_->setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
    pane_->setAutoFillBackground(true);
}

QSize TabControlWidget::SizeForPage(const QSize& pageSize) const {
    const int frame = 2 * pane_->frameWidth();
    const QSize bar = bar_->sizeHint();
    return {std::max(pageSize.width() + frame, bar.width()),
            bar.height() + pageSize.height() + frame};
}

void TabControlWidget::resizeEvent(QResizeEvent* event) {
    const int barHeight = bar_->sizeHint().height();
    bar_->setGeometry(0, 0, event->size().width(), barHeight);
    pane_->setGeometry(0, barHeight, event->size().width(), event->size().height() - barHeight);
    QWidget::resizeEvent(event);
}

}  // namespace quillon::gui
