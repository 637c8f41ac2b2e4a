#include "frontends/qt/MainWindow.hpp"

#include <QContextMenuEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QKeySequence>
#include <QShortcut>
#include <algorithm>

#include "app/CAdapterDlg.hpp"
#include "app/MainWindowIds.hpp"
#include "app/MainWindowTemplate.hpp"
#include "frontends/adapters/AdapterDiscovery.hpp"
#include "frontends/qt/ModelText.hpp"
#include "frontends/qt/TabControlWidget.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"

namespace quillon::gui {

MainWindow::MainWindow(app::CQuillonDlg& window, QtHost& host, const DialogUnits& units,
                       bool showPages)
    : DialogWindow(window, host.Dispatcher(), units), main_(window), host_(host), units_(units) {
    CreatePages(units);
    LayOut(units, showPages);
    BuildWindowMenu();
}

void MainWindow::CreatePages(const DialogUnits& units) {
    auto* tabs = static_cast<TabControlWidget*>(View().Widget(app::IDC_TAB));
    QFrame* pane = tabs->Pane();
    for (int tab = 0; tab < app::CQuillonDlg::PAGE_COUNT; ++tab) {
        auto* page = new DialogView(main_.Page(tab), host_.Dispatcher(), units, pane, true);
        pages_[static_cast<std::size_t>(tab)] = page;
    }
}

void MainWindow::LayOut(const DialogUnits& units, bool showPages) {
    auto* tabs = static_cast<TabControlWidget*>(View().Widget(app::IDC_TAB));
    QSize pageSize;
    for (const DialogView* page : pages_) {
        pageSize = pageSize.expandedTo(page->TemplateSize());
    }
    const QSize tabSize = tabs->SizeForPage(pageSize);
    // A tab strip wider than the pages leaves room; the pages sit centred in it.
    const int frame = tabs->Pane()->frameWidth();
    for (DialogView* page : pages_) {
        page->move(std::max(frame, (tabSize.width() - page->width()) / 2), frame);
    }
    if (!showPages) {
        tabs->resize(tabSize);
        View().setGeometry(QRect(QPoint(0, 0), View().TemplateSize()));
        setFixedSize(View().TemplateSize());
        return;
    }
    // The pages go below the command area, which keeps its template layout but
    // moves up into the band the hidden tab strip leaves empty at the top.
    const int lift =
        units.Y(app::CommandAreaTop(main_.Template())) - units.Y(app::PAGES_MARGIN_DLU);
    const QRect tabRect(QPoint(units.X(app::PAGES_MARGIN_DLU), View().TemplateSize().height()),
                        tabSize);
    View().MoveControl(app::IDC_TAB, tabRect);
    const QSize windowSize(std::max(View().TemplateSize().width(),
                                    tabRect.right() + 1 + units.X(app::PAGES_MARGIN_DLU)),
                           tabRect.bottom() + 1 + units.Y(app::PAGES_MARGIN_DLU) - lift);
    View().setGeometry(0, -lift, windowSize.width(), windowSize.height() + lift);
    setFixedSize(windowSize);
}

void MainWindow::BuildWindowMenu() {
    menu_.addAction(QStringLiteral("最小化(&N)"), this, [this] { showMinimized(); });
    menu_.addAction(QStringLiteral("关闭(&C)"), QKeySequence(Qt::ALT | Qt::Key_F4), this,
                    [this] { close(); });
    for (const app::SystemMenuItem& item : main_.SystemMenu()) {
        if (item.text.empty()) {
            menu_.addSeparator();
            continue;
        }
        const unsigned command = item.command;
        QAction* action = menu_.addAction(DisplayText(item.text), this,
                                          [this, command] { RunSystemCommand(command); });
        if (item.checkable) {
            action->setCheckable(true);
            connect(&menu_, &QMenu::aboutToShow, action, [this, action, command] {
                action->setChecked(main_.MenuItemChecked(command));
            });
        }
    }
    menu_.addAction(QString::fromUtf8(ADAPTER_MENU_TEXT), this, [this] { OpenAdapterDialog(); });
    auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
    connect(shortcut, &QShortcut::activated, this,
            [this] { menu_.exec(mapToGlobal(QPoint(0, 0))); });
}

void MainWindow::RunSystemCommand(unsigned command) {
    const bool pagesShown = main_.PagesShown();
    main_.SendMessage(app::WM_SYSCOMMAND, command, 0);
    if (main_.PagesShown() != pagesShown) {
        LayOut(units_, main_.PagesShown());
    }
}

void MainWindow::OpenAdapterDialog() {
    app::CAdapterDlg dialog(host_, adapters::CollectListings(adapters::DefaultAdapterDiscovery()),
                            kelvix::CurrentAdapterSpec(),
                            app::ProgramAdapterChoice(main_.Services().SettingsDirectory()));
    dialog.DoModal();
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
    menu_.exec(event->globalPos());
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    auto* tabs = static_cast<TabControlWidget*>(View().Widget(app::IDC_TAB));
    QWidget* focus = focusWidget();
    if (enter && focus != nullptr && tabs->Pane()->isAncestorOf(focus)) {
        event->accept();
        return;
    }
    DialogWindow::keyPressEvent(event);
}

void MainWindow::FlushAll() {
    View().Flush();
    for (DialogView* page : pages_) {
        page->Flush();
    }
}

void MainWindow::RequestClose(int) {
    if (main_.UpgradeRunning()) {
        main_.CloseWindow();  // asks; a confirmed close follows once the upgrade has stopped
        return;
    }
    // The receive thread may be waiting for a box; it must not wait for one
    // while the disconnect joins it.
    host_.DismissBoxesFromOtherThreads();
    main_.CloseWindow();
}

}  // namespace quillon::gui
