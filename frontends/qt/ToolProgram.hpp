// A tool's window as a program of its own (the bit-timing calculator, the
// record converter): the same look, host and dialog
// rendering as the main window, around one dialog of the model that runs
// modally until the user closes it.
//
//   Baudly                          the window
//   Baudly --screenshot shot.png    writes a PNG picture of the window as it
//                                   opens, then ends
#pragma once

#include <functional>
#include <memory>

#include "platform/ui/Dialog.hpp"
#include "platform/ui/Host.hpp"

namespace quillon::gui {

struct ToolProgram {
    const char* name;         ///< the program's name in its messages: "Baudly"
    const char* description;  ///< the first line of --help
    std::function<std::unique_ptr<ui::Dialog>(ui::Host& host)> makeDialog;
};

/// Returns the program's exit status: 0, 1 when the picture could not be
/// written, 2 for a wrong command line.
int RunToolProgram(int argc, char** argv, const ToolProgram& tool);

}  // namespace quillon::gui
