#include "frontends/win32/WindowApplication.hpp"

#include "frontends/win32/SystemHeaders.hpp"

#include <cstdio>
#include <exception>
#include <string>

#include "app/CAdapterDlg.hpp"
#include "app/CQuillonApp.hpp"
#include "app/CQuillonDlg.hpp"
#include "app/WindowStart.hpp"
#include "frontends/adapters/AdapterDiscovery.hpp"
#include "frontends/adapters/BuildBackends.hpp"
#include "frontends/win32/DialogFont.hpp"
#include "frontends/win32/MainWindow.hpp"
#include "frontends/win32/Utf16.hpp"
#include "frontends/win32/Win32Sleeper.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/system/Utf8Path.hpp"
#include "sim/SimDevices.hpp"

namespace quillon::win32 {

namespace {

void ShowError(const std::string& text) {
    MessageBoxW(nullptr, WideText(text).c_str(), L"Quillon", MB_OK | MB_ICONERROR);
}

}  // namespace

void OpenAdapterDialog(ui::Host& host, app::CQuillonDlg& main) {
    app::CAdapterDlg dialog(host, adapters::CollectListings(adapters::DefaultAdapterDiscovery()),
                            kelvix::CurrentAdapterSpec(),
                            app::ProgramAdapterChoice(main.Services().programDirectory));
    dialog.DoModal();
}

bool PrepareControls() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                     ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES;
    InitCommonControlsEx(&controls);
    // Loaded for the life of the process: it registers the rich-edit class.
    if (LoadLibraryW(L"Msftedit.dll") == nullptr) {
        ShowError(RICH_EDIT_MISSING);
        return false;
    }
    return true;
}

void InstallWindowFactory(Win32Host& host, const WindowOptions& options,
                          const std::u16string& faceName) {
    host.SetWindowFactory(
        [&host, options, faceName](ui::Dialog& dialog) -> std::unique_ptr<DialogWindow> {
            if (auto* main = dynamic_cast<app::CQuillonDlg*>(&dialog)) {
                app::PrepareMainWindow(*main, options.showPages);
                return std::make_unique<MainWindow>(
                    *main, faceName, [&host, main] { OpenAdapterDialog(host, *main); },
                    [&host] { host.DismissBoxesFromOtherThreads(); });
            }
            return std::make_unique<DialogWindow>(dialog, DialogRole::Window,
                                                  host.WindowFor(dialog.Parent()), faceName, false);
        });
}

int RunWindowApplication(const std::vector<std::string>& arguments) {
    const OptionsOutcome outcome = ParseWindowOptions(arguments);
    if (!outcome.options) {
        std::fputs(outcome.message.c_str(), outcome.exitCode == 0 ? stdout : stderr);
        return outcome.exitCode;
    }
    if (!PrepareControls()) {
        return 1;
    }
    sim::RegisterSimDevice();
    adapters::RegisterBuildBackends();
    try {
        Win32Host host;
        Win32Sleeper sleeper(host);
        const sys::SystemServices& defaults = sys::DefaultSystemServices();
        sys::SystemServices services{defaults.clock,
                                     sleeper,
                                     defaults.launcher,
                                     defaults.documents,
                                     defaults.programDirectory,
                                     defaults.executablePath,
                                     defaults.codePages,
                                     sys::PathFromUtf8(outcome.options->settingsDir)};
        InstallWindowFactory(host, *outcome.options, DialogFaceName());
        app::CQuillonApp quillon(host, services);
        return quillon.InitInstance();
    } catch (const WindowError& error) {
        ShowError(error.what());
        return 1;
    } catch (const std::exception& error) {
        // Ends cleanly with the reason rather than with the system's crash report.
        ShowError(std::string("Quillon 意外停止: ") + error.what());
        return 1;
    }
}

}  // namespace quillon::win32
