// quillon-cli: the main window's commands, headless and scriptable.
#include <iostream>

#include "frontends/cli/CliApp.hpp"

int main(int argc, char** argv) {
    return quillon::cli::RunCli(argc, argv, std::cout, std::cerr);
}
