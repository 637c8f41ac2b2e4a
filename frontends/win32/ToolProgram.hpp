// A tool's window as a program of its own on the system's controls (the
// bit-timing calculator, the record converter): the main window's host, font
// and rendering around one dialog of the model, run modally until the user
// closes it. The tool's logic stays in its dialog.
//
//   Baudly.exe          the window
//   Baudly.exe --help   what the program is
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Dialog.hpp"
#include "platform/ui/Host.hpp"

namespace quillon::win32 {

struct ToolProgram {
    const char* name;         ///< the program's name in its messages: "Baudly"
    const char* description;  ///< the first line of --help
    std::function<std::unique_ptr<ui::Dialog>(ui::Host& host)> makeDialog;
};

/// What the command line asks: nothing (run the window) or an exit status
/// with the text to print first.
struct ToolOptionsOutcome {
    bool runWindow = false;
    int exitCode = 0;
    std::string message;
};

/// `arguments` as the program got them, its own name first.
ToolOptionsOutcome ParseToolOptions(const std::vector<std::string>& arguments,
                                    const ToolProgram& tool);

/// Runs the tool with `arguments` (UTF-8); returns 0, 1 when the window could
/// not be shown (after an error box), 2 for a wrong command line.
int RunToolProgram(const std::vector<std::string>& arguments, const ToolProgram& tool);

}  // namespace quillon::win32
