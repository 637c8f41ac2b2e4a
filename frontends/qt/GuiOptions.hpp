// Command line of `quillon`:
//   quillon                     the window as delivered
//   quillon --show-pages        with the ten pages and the configuration buttons
//   quillon --settings-dir cfg  settings files in cfg/ instead of beside the program
//                               (or the user's configuration directory when installed)
//   quillon --show-pages --screenshots shots/
//                               writes main.png, tab-0.png .. tab-9.png and
//                               about.png into shots/ and ends
#pragma once

#include <QStringList>
#include <optional>
#include <string>

namespace quillon::gui {

struct GuiOptions {
    bool showPages = false;
    /// Folder for the screenshot tour; empty = no tour.
    std::string screenshotDir;
    /// Folder of the settings files (UTF-8); empty = beside the program.
    std::string settingsDir;
};

/// The options of `arguments` (program name first); nothing, after printing
/// the usage or the error, when the program should end with `exitCode`.
std::optional<GuiOptions> ParseGuiOptions(const QStringList& arguments, int& exitCode);

}  // namespace quillon::gui
