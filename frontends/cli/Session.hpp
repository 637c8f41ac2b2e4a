// A headless main window: the same CQuillonDlg the GUI shows, driven from the
// command line, with the message queue pumped while a command waits.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "app/CQuillonDlg.hpp"
#include "frontends/cli/CliHost.hpp"
#include "frontends/cli/ExitCode.hpp"
#include "platform/system/SystemServices.hpp"

namespace quillon::cli {

struct GlobalOptions {
    std::string adapter;      ///< overrides KELVIX_ADAPTER when set
    int index = 0;            ///< adapter index 0..9
    std::string settingsDir;  ///< where the settings files are; empty: SettingsDirectory's rule
    std::string trace;        ///< candump trace file
    bool yes = false;         ///< answer questions with Yes
    bool json = false;
    std::string command;  ///< the running command, named in the boxes' warnings and errors
};

class Session {
  public:
    /// Boxes print on `out` (a success) or `err` (a warning or an error).
    Session(const GlobalOptions& options, std::ostream& out, std::ostream& err,
            sys::SystemServices& services);
    ~Session();

    app::CQuillonDlg& Window() { return *window_; }
    CliHost& Host() { return host_; }
    /// Connects with the chosen adapter index; prints why when it fails.
    bool Connect(std::ostream& err);
    void Disconnect();
    /// Pumps the message queue until `done` holds or `timeout` passes.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

  private:
    GlobalOptions options_;
    CliHost host_;
    sys::SystemServices services_;
    std::unique_ptr<app::CQuillonDlg> window_;
};

/// The directory of the settings files the session uses.
std::filesystem::path SettingsDirectory(const GlobalOptions& options,
                                        const sys::SystemServices& services);

/// Applies the adapter and trace options to the adapter library.
void ApplyAdapterOptions(const GlobalOptions& options);

}  // namespace quillon::cli
