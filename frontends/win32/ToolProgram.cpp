#include "frontends/win32/ToolProgram.hpp"

#include "frontends/win32/SystemHeaders.hpp"

#include <cstdio>
#include <exception>

#include "frontends/win32/DialogFont.hpp"
#include "frontends/win32/Utf16.hpp"
#include "frontends/win32/Win32Host.hpp"
#include "frontends/win32/WindowApplication.hpp"

namespace quillon::win32 {

ToolOptionsOutcome ParseToolOptions(const std::vector<std::string>& arguments,
                                    const ToolProgram& tool) {
    const std::string usage = std::string(tool.description) + "\nUsage: " + tool.name +
                              " [--help]\n  --help  Print this help and end.\n";
    ToolOptionsOutcome outcome;
    bool help = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == "--help" || arguments[i] == "-h") {
            help = true;
            continue;
        }
        outcome.exitCode = 2;
        outcome.message =
            std::string(tool.name) + ": unexpected argument: " + arguments[i] + "\n" + usage;
        return outcome;
    }
    outcome.runWindow = !help;
    outcome.message = help ? usage : "";
    return outcome;
}

int RunToolProgram(const std::vector<std::string>& arguments, const ToolProgram& tool) {
    const ToolOptionsOutcome outcome = ParseToolOptions(arguments, tool);
    if (!outcome.runWindow) {
        std::fputs(outcome.message.c_str(), outcome.exitCode == 0 ? stdout : stderr);
        return outcome.exitCode;
    }
    if (!PrepareControls()) {
        return 1;
    }
    try {
        Win32Host host;
        // The tool's windows are the main window's others: one factory for both.
        InstallWindowFactory(host, {}, DialogFaceName());
        const std::unique_ptr<ui::Dialog> dialog = tool.makeDialog(host);
        dialog->DoModal();
        return 0;
    } catch (const std::exception& error) {
        // Ends cleanly with the reason rather than with the system's crash report.
        const std::string text = std::string(tool.name) + " 意外停止: " + error.what();
        MessageBoxW(nullptr, WideText(text).c_str(), WideText(tool.name).c_str(),
                    MB_OK | MB_ICONERROR);
        return 1;
    }
}

}  // namespace quillon::win32
