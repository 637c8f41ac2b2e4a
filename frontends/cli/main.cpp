// quillon-cli: the main window's commands, headless and scriptable.
#include <iostream>
#include <string>
#include <vector>

#include "frontends/adapters/BuildBackends.hpp"
#include "frontends/cli/CliApp.hpp"
#include "platform/system/CommandLine.hpp"

#ifdef QUILLON_QT_COMPANION
#include <optional>

#include "frontends/cli/QtCompanion.hpp"
#include "platform/system/HostSystem.hpp"
#include "platform/system/ProgramDirectory.hpp"
#endif

int main(int argc, char** argv) {
    // Paths and texts on the command line may hold any character (设置, 程序目录).
    const std::vector<std::string> arguments = quillon::sys::Utf8Arguments(argc, argv);
    std::vector<const char*> utf8Argv;
    for (const std::string& argument : arguments) {
        utf8Argv.push_back(argument.c_str());
    }
    const int count = static_cast<int>(utf8Argv.size());
#ifdef QUILLON_QT_COMPANION
    // This build leaves the Qt SerialBus backend to the companion beside it.
    quillon::cli::SetBeforeCommand([&arguments](const quillon::cli::GlobalOptions& global,
                                                std::ostream& err) -> std::optional<int> {
        const auto companion = quillon::sys::ExecutableDirectory() /
                               quillon::sys::ProgramFileName(QUILLON_QT_COMPANION);
        return quillon::cli::HandOverForQtBackend(global, companion, arguments, err);
    });
#endif
    quillon::adapters::RegisterBuildBackends();
    return quillon::adapters::RunWithBuildBackends(
        [&] { return quillon::cli::RunCli(count, utf8Argv.data(), std::cout, std::cerr); });
}
