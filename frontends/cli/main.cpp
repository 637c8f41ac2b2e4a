// quillon-cli: the main window's commands, headless and scriptable.
#include <iostream>

#include "frontends/cli/CliApp.hpp"
#ifdef QUILLON_HAVE_BRINDLE
#include "driver/backend/BrindleBackend.hpp"
#endif
#ifdef QUILLON_HAVE_QCANBUS
#include "platform/kelvix/qcanbus/QCanBusBackend.hpp"
#endif

int main(int argc, char** argv) {
#ifdef QUILLON_HAVE_BRINDLE
    brindle::RegisterBrindleBackend();
#endif
#ifdef QUILLON_HAVE_QCANBUS
    // Qt SerialBus devices need an event loop: this thread runs it, the command another.
    kelvix::RegisterQCanBusBackend();
    return kelvix::RunWithQtEventLoop(
        [&] { return quillon::cli::RunCli(argc, argv, std::cout, std::cerr); });
#else
    return quillon::cli::RunCli(argc, argv, std::cout, std::cerr);
#endif
}
