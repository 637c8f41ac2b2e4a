#include "frontends/qt/TabControlWidget.hpp"

#include <QFrame>
#include <QResizeEvent>
#include <QTabBar>

namespace quillon::gui {

TabControlWidget::TabControlWidget(QWidget* parent)
    : QWidget(parent), bar_(new QTabBar(this)), pane_(new QFrame(this)) {
    bar_->setExpanding(false);
    bar_->setDrawBase(false);
    pane_->setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
    pane_->setAutoFillBackground(true);
}

QSize TabControlWidget::SizeForPage(const QSize& pageSize) const {
    const int frame = 2 * pane_->frameWidth();
    return {pageSize.width() + frame, bar_->sizeHint().height() + pageSize.height() + frame};
}

void TabControlWidget::resizeEvent(QResizeEvent* event) {
    const int barHeight = bar_->sizeHint().height();
    bar_->setGeometry(0, 0, event->size().width(), barHeight);
    pane_->setGeometry(0, barHeight, event->size().width(), event->size().height() - barHeight);
    QWidget::resizeEvent(event);
}

}  // namespace quillon::gui
