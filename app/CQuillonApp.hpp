// The application object: runs the main window modally and ends when it closes.
#pragma once

#include "platform/system/SystemServices.hpp"
#include "platform/ui/Host.hpp"

namespace quillon::app {

class CQuillonApp {
  public:
    /// Company name under which the original kept its application settings.
    static constexpr const char* REGISTRY_KEY = "Quillon 工作室";

    CQuillonApp(ui::Host& host, sys::SystemServices& services);
    /// Runs the main window until it closes; returns the program's exit status.
    int InitInstance();

  private:
    ui::Host& host_;
    sys::SystemServices& services_;
};

}  // namespace quillon::app
