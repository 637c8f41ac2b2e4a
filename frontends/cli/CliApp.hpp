// The command line of quillon-cli: parses arguments and runs a subcommand.
#pragma once

#include <functional>
#include <istream>
#include <optional>
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

struct GlobalOptions;

/// Asked once the command line is parsed, before the command runs; a status
/// ends the run with it instead. quillon-cli hands a command that needs the
/// Qt SerialBus backend to its companion program here.
using BeforeCommand =
    std::function<std::optional<int>(const GlobalOptions& global, std::ostream& err)>;
void SetBeforeCommand(BeforeCommand hook);

}  // namespace quillon::cli
