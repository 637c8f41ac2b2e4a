// Pictures of the window for review: once the main window runs, saves
// main.png, then selects every tab as a user would and saves tab-0.png ..
// tab-9.png, opens the about box from the window menu and saves about.png,
// opens the adapter dialog and saves adapter.png (closing it with Cancel),
// and closes the window. Each saved path is printed; a failure is reported
// on stderr and makes Failed() true.
#pragma once

#include <QObject>
#include <filesystem>

#include "frontends/qt/MainWindow.hpp"

namespace quillon::gui {

class ScreenshotTour : public QObject {
  public:
    explicit ScreenshotTour(std::filesystem::path directory);

    /// Starts the tour on `window` when its event loop runs.
    void Start(MainWindow& window);
    bool Failed() const { return failed_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Run(MainWindow& window);
    void ShootPages(MainWindow& window);
    void Save(QWidget& widget, const std::string& name);
    void ShootAndClose(DialogWindow& window);

    std::filesystem::path directory_;
    bool failed_ = false;
};

}  // namespace quillon::gui
