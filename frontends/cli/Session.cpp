#include "frontends/cli/Session.hpp"

#include "app/MainWindowIds.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/system/SettingsHome.hpp"
#include "platform/system/Utf8Path.hpp"

namespace quillon::cli {

std::filesystem::path SettingsDirectory(const GlobalOptions& options,
                                        const sys::SystemServices& services) {
    return sys::SettingsDirectoryInUse(sys::PathFromUtf8(options.settingsDir),
                                       services.programDirectory, sys::ProcessEnvironment);
}

void ApplyAdapterOptions(const GlobalOptions& options) {
    kelvix::SetAdapterSpecOverride(options.adapter);
    kelvix::SetTraceFileOverride(options.trace);
}

Session::Session(const GlobalOptions& options, std::ostream& out, std::ostream& err,
                 sys::SystemServices& services)
    : options_(options), host_(out, err, options.command, options.yes), services_(services) {
    services_.programDirectory = SettingsDirectory(options, services);
    host_.SetQuiet(options.json);
    ApplyAdapterOptions(options);
    window_ = std::make_unique<app::CQuillonDlg>(host_, services_);
    window_->Create();
}

Session::~Session() {
    Disconnect();
    window_.reset();
}

bool Session::Connect(std::ostream& err) {
    window_->SetCurSel(app::IDC_ADAPTER_INDEX, options_.index);
    window_->Click(app::IDC_CONNECT);
    if (!window_->IsRunning()) {
        host_.Settle(false);
        err << "quillon-cli: cannot open adapter " << options_.index << ": "
            << kelvix::LastOpenError() << '\n';
        return false;
    }
    return true;
}

void Session::Disconnect() {
    if (window_ && window_->IsRunning()) {
        window_->Click(app::IDC_CONNECT);
    }
}

bool Session::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        host_.PumpMessages();
        if (done()) {
            return true;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return false;
        }
        host_.WaitForMessage(std::chrono::duration_cast<std::chrono::milliseconds>(
            std::min<std::chrono::steady_clock::duration>(deadline - now,
                                                          std::chrono::milliseconds(50))));
    }
}

}  // namespace quillon::cli
