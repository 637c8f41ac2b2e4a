// quillon-cli: the main window's commands, headless and scriptable.
#include <iostream>
#include <string>
#include <vector>

#include "frontends/cli/CliApp.hpp"
#include "platform/system/CommandLine.hpp"
#ifdef QUILLON_HAVE_BRINDLE
#include "driver/backend/BrindleBackend.hpp"
#endif
#ifdef QUILLON_HAVE_QCANBUS
#include "platform/kelvix/qcanbus/QCanBusBackend.hpp"
#endif

int main(int argc, char** argv) {
    // Paths and texts on the command line may hold any character (设置, 程序目录).
    const std::vector<std::string> arguments = quillon::sys::Utf8Arguments(argc, argv);
    std::vector<const char*> utf8Argv;
    for (const std::string& argument : arguments) {
        utf8Argv.push_back(argument.c_str());
    }
    const int count = static_cast<int>(utf8Argv.size());
#ifdef QUILLON_HAVE_BRINDLE
    brindle::RegisterBrindleBackend();
#endif
#ifdef QUILLON_HAVE_QCANBUS
    // Qt SerialBus devices need an event loop: this thread runs it, the command another.
    kelvix::RegisterQCanBusBackend();
    return kelvix::RunWithQtEventLoop(
        [&] { return quillon::cli::RunCli(count, utf8Argv.data(), std::cout, std::cerr); });
#else
    return quillon::cli::RunCli(count, utf8Argv.data(), std::cout, std::cerr);
#endif
}
