// The command line of quillon-cli: parses arguments and runs a subcommand.
#pragma once

#include <ostream>

namespace quillon::cli {

/// Runs quillon-cli with `argv`; returns the exit status.
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace quillon::cli
