#include "frontends/qt/WindowFactory.hpp"

#include "app/WindowStart.hpp"

namespace quillon::gui {

WindowFactory::WindowFactory(QtHost& host, const DialogUnits& units, GuiOptions options)
    : host_(host), units_(units), options_(std::move(options)) {}

std::unique_ptr<QWidget> WindowFactory::Create(ui::Dialog& dialog) {
    if (auto* main = dynamic_cast<app::CQuillonDlg*>(&dialog)) {
        app::PrepareMainWindow(*main, options_.showPages);
        auto window = std::make_unique<MainWindow>(*main, host_, units_, main->PagesShown());
        if (onMainWindow_) {
            onMainWindow_(*window);
        }
        return window;
    }
    auto window = std::make_unique<DialogWindow>(dialog, host_.Dispatcher(), units_,
                                                 host_.WindowFor(dialog.Parent()));
    window->setWindowModality(Qt::ApplicationModal);
    return window;
}

}  // namespace quillon::gui
