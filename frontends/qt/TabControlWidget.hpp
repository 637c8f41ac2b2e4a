// The tab control: a row of tabs over a framed pane. The pages are children
// of the pane; which page shows is the model's business (each page view
// follows its dialog's visibility), so the tabs carry no widgets of their own.
#pragma once

#include <QWidget>

class QFrame;
class QTabBar;

namespace quillon::gui {

class TabControlWidget : public QWidget {
  public:
    explicit TabControlWidget(QWidget* parent);

    QTabBar* Bar() const { return bar_; }
    /// Where the pages go; its origin is the tab control's client area.
    QFrame* Pane() const { return pane_; }
    /// The size that shows a page of `pageSize` whole and every tab (once
    /// the tabs are in).
    QSize SizeForPage(const QSize& pageSize) const;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QTabBar* bar_;
    QFrame* pane_;
};

}  // namespace quillon::gui
