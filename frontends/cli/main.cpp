// quillon-cli: the main window's commands, headless and scriptable.
#include <iostream>
#include <string>
#include <vector>

#include "frontends/adapters/BuildBackends.hpp"
#include "frontends/cli/CliApp.hpp"
#include "platform/system/CommandLine.hpp"

int main(int argc, char** argv) {
    // Paths and texts on the command line may hold any character (设置, 程序目录).
    const std::vector<std::string> arguments = quillon::sys::Utf8Arguments(argc, argv);
    std::vector<const char*> utf8Argv;
    for (const std::string& argument : arguments) {
        utf8Argv.push_back(argument.c_str());
    }
    const int count = static_cast<int>(utf8Argv.size());
    quillon::adapters::RegisterBuildBackends();
    return quillon::adapters::RunWithBuildBackends(
        [&] { return quillon::cli::RunCli(count, utf8Argv.data(), std::cout, std::cerr); });
}
