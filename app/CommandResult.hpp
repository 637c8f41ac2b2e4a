// What a command of the main window ended with. The window shows it as its
// message box; front ends without a window (the command line) read it instead
// of what the box displayed.
#pragma once

#include <string>

namespace quillon::app {

struct CommandResult {
    bool succeeded = false;
    std::string text;  ///< the box's text; empty when the command showed none
    std::string caption;
    unsigned style = 0;

    bool operator==(const CommandResult&) const = default;
};

}  // namespace quillon::app
