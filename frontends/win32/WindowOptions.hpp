// Command line of `quillon.exe`, the same as the Qt window's:
//   quillon                     the window as delivered
//   quillon --show-pages        with the ten pages and the configuration buttons
//   quillon --settings-dir cfg  settings files in cfg/ instead of beside the program
//   quillon --help              this text
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillon::win32 {

struct WindowOptions {
    bool showPages = false;
    /// Folder of the settings files (UTF-8); empty = beside the program.
    std::string settingsDir;
};

struct OptionsOutcome {
    std::optional<WindowOptions> options;  ///< nothing: end with `exitCode`
    int exitCode = 0;
    std::string message;  ///< the usage, or the error and the usage
};

/// The options of `arguments` (UTF-8, program name first).
OptionsOutcome ParseWindowOptions(const std::vector<std::string>& arguments);

}  // namespace quillon::win32
