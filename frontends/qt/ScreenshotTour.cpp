#include "frontends/qt/ScreenshotTour.hpp"

#include <QApplication>
#include <QEvent>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <system_error>

#include "app/CAdapterDlg.hpp"
#include "app/MainWindowIds.hpp"

namespace quillon::gui {

ScreenshotTour::ScreenshotTour(std::filesystem::path directory)
    : directory_(std::move(directory)) {}

void ScreenshotTour::Start(MainWindow& window) {
    QTimer::singleShot(0, &window, [this, &window] { Run(window); });
}

void ScreenshotTour::Run(MainWindow& window) {
    std::error_code error;
    std::filesystem::create_directories(directory_, error);
    if (error) {
        std::fprintf(stderr, "quillon: cannot create %s: %s\n", directory_.c_str(),
                     error.message().c_str());
        failed_ = true;
    } else {
        window.FlushAll();
        Save(window, "main.png");
        ShootPages(window);
        qApp->installEventFilter(this);
        window.Main().SendMessage(app::WM_SYSCOMMAND, app::IDM_ABOUTBOX, 0);
        window.OpenAdapterDialog();
        qApp->removeEventFilter(this);
    }
    window.Main().CloseWindow();
}

void ScreenshotTour::ShootPages(MainWindow& window) {
    app::CQuillonDlg& main = window.Main();
    if (!main.IsWindowVisible(app::IDC_TAB)) {
        std::fprintf(stderr, "quillon: the pages are hidden; add --show-pages to see them\n");
        return;
    }
    for (int tab = 0; tab < app::CQuillonDlg::PAGE_COUNT; ++tab) {
        main.SelectItem(app::IDC_TAB, tab);
        window.FlushAll();
        Save(window, "tab-" + std::to_string(tab) + ".png");
    }
    main.SelectItem(app::IDC_TAB, 0);
}

bool ScreenshotTour::eventFilter(QObject* watched, QEvent* event) {
    auto* dialog = dynamic_cast<DialogWindow*>(watched);
    if (event->type() == QEvent::Show && dialog != nullptr && dialog->isWindow() &&
        dynamic_cast<MainWindow*>(dialog) == nullptr) {
        QTimer::singleShot(0, dialog, [this, dialog] { ShootAndClose(*dialog); });
    }
    return false;
}

// The about box closes with OK; the adapter dialog with Cancel, which leaves
// the adapter setting as it was.
void ScreenshotTour::ShootAndClose(DialogWindow& window) {
    window.View().Flush();
    const bool adapter = window.Model().Template().number == app::IDD_ADAPTER;
    Save(window, adapter ? "adapter.png" : "about.png");
    window.Model().Click(adapter ? ui::IDCANCEL : ui::IDOK);
}

void ScreenshotTour::Save(QWidget& widget, const std::string& name) {
    const std::filesystem::path path = directory_ / name;
    if (!widget.grab().save(QString::fromStdString(path.string()), "PNG")) {
        std::fprintf(stderr, "quillon: cannot write %s\n", path.c_str());
        failed_ = true;
        return;
    }
    std::printf("%s\n", path.c_str());
}

}  // namespace quillon::gui
