#include "frontends/win32/WindowOptions.hpp"

namespace quillon::win32 {

namespace {

constexpr const char* USAGE =
    "Usage: quillon [--show-pages] [--settings-dir DIR]\n"
    "Quillon: configures, maintains and re-flashes CAN devices.\n"
    "  --show-pages        Show the ten configuration pages and enable the parameter write,\n"
    "                      read, storage initialisation and tool buttons, whatever the window\n"
    "                      menu's \"显示参数页\" item last left.\n"
    "  --settings-dir DIR  Keep the settings files (QXCfg.dat, QXCfgDTU.dat, QXCfgDTUHL.dat)\n"
    "                      in DIR instead of beside the program.\n"
    "  -h, --help          Show this text.\n";

OptionsOutcome Refuse(const std::string& error) {
    return {std::nullopt, 2, "quillon: " + error + "\n" + USAGE};
}

}  // namespace

OptionsOutcome ParseWindowOptions(const std::vector<std::string>& arguments) {
    WindowOptions options;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "-h" || argument == "--help") {
            return {std::nullopt, 0, USAGE};
        }
        if (argument == "--show-pages") {
            options.showPages = true;
        } else if (argument == "--settings-dir") {
            if (i + 1 >= arguments.size()) {
                return Refuse("missing value for option \"settings-dir\"");
            }
            options.settingsDir = arguments[++i];
        } else if (argument.rfind("--settings-dir=", 0) == 0) {
            options.settingsDir = argument.substr(std::string("--settings-dir=").size());
        } else if (argument.rfind("-", 0) == 0) {
            return Refuse("unknown option \"" + argument + "\"");
        } else {
            return Refuse("unexpected argument: " + argument);
        }
    }
    return {options, 0, {}};
}

}  // namespace quillon::win32
