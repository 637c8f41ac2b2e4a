#include "frontends/qt/GuiApplication.hpp"

#include <QApplication>
#include <optional>

#include "app/CQuillonApp.hpp"
#include "frontends/adapters/BuildBackends.hpp"
#include "frontends/qt/AppearanceSetup.hpp"
#include "frontends/qt/GuiOptions.hpp"
#include "frontends/qt/QtHost.hpp"
#include "frontends/qt/QtSleeper.hpp"
#include "frontends/qt/ScreenshotTour.hpp"
#include "frontends/qt/WindowFactory.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/system/SettingsHome.hpp"
#include "platform/system/SystemServices.hpp"
#include "platform/system/Utf8Path.hpp"
#include "sim/SimDevices.hpp"

namespace quillon::gui {

int RunGuiApplication(int argc, char** argv) {
    QApplication application(argc, argv);
    // The main window's modal loop decides when the program ends.
    QApplication::setQuitOnLastWindowClosed(false);
    int exitCode = 0;
    const std::optional<GuiOptions> options = ParseGuiOptions(application.arguments(), exitCode);
    if (!options) {
        return exitCode;
    }
    QApplication::setFont(DialogFont());
    InstallQtChineseTranslation(application);
    QApplication::setWindowIcon(ProgramIcon());
    sim::RegisterSimDevice();
    adapters::RegisterBuildBackends();

    QtHost host;
    QtSleeper sleeper(host.Dispatcher());
    const sys::SystemServices& defaults = sys::DefaultSystemServices();
    sys::SystemServices services{
        defaults.clock,
        sleeper,
        defaults.launcher,
        defaults.documents,
        defaults.programDirectory,
        defaults.executablePath,
        defaults.codePages,
        sys::SettingsDirectoryInUse(sys::PathFromUtf8(options->settingsDir),
                                    defaults.programDirectory, sys::ProcessEnvironment)};
    // kelvix.conf is one of the user's files: the adapter dialog saves it there.
    kelvix::SetConfigDirectory(services.SettingsDirectory());
    WindowFactory factory(host, DialogUnits(QApplication::font()), *options);
    std::optional<ScreenshotTour> tour;
    if (!options->screenshotDir.empty()) {
        tour.emplace(options->screenshotDir);
        factory.OnMainWindow([&tour](MainWindow& window) { tour->Start(window); });
    }
    host.SetWindowFactory([&factory](ui::Dialog& dialog) { return factory.Create(dialog); });

    app::CQuillonApp quillon(host, services);
    const int status = quillon.InitInstance();
    return tour && tour->Failed() ? 1 : status;
}

}  // namespace quillon::gui
