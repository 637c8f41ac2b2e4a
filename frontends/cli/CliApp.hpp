// The command line of quillon-cli: parses arguments and runs a subcommand.
#pragma once

#include <istream>
#include <ostream>

#include "platform/system/SystemServices.hpp"

namespace quillon::cli {

/// Runs quillon-cli with `argv` on the given system services; returns the exit status.
/// `in` is what the debug command reads as typed lines.
int RunCli(int argc, const char* const* argv, std::istream& in, std::ostream& out,
           std::ostream& err, sys::SystemServices& services);
/// The same reading standard input.
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           sys::SystemServices& services);
/// The same on this process's real services.
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace quillon::cli
