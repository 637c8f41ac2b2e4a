// The whole `quillon` program: options, the Qt application with its font,
// the host, the window factory, and the application object running the main
// window against the adapter chosen by configuration (the simulated one by
// default).
#pragma once

namespace quillon::gui {

/// Returns the program's exit status.
int RunGuiApplication(int argc, char** argv);

}  // namespace quillon::gui
