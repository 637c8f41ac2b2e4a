// What a command of a window ended with. The window has already shown it as
// its message box and status line; front ends without a window (the command
// line) read it instead of what the window displayed.
#pragma once

#include <string>

namespace quillon::ui {

struct CommandResult {
    bool succeeded = false;
    std::string text;  ///< the box's text; empty when the command showed none
    std::string caption;
    unsigned style = 0;
    std::string status;  ///< what the command left on the status line; empty when untouched

    bool operator==(const CommandResult&) const = default;
};

}  // namespace quillon::ui
