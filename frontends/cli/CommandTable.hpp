// The subcommands of quillon-cli as one table: each row names a command, adds
// its own options to the parser and runs it. The global options (--json among
// them) are the parser's own and reach every command.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "frontends/cli/Commands.hpp"
#include "frontends/cli/LogCommands.hpp"

namespace quillon::cli {

/// What a command runs with, besides its own options.
struct CommandContext {
    const GlobalOptions& global;
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    sys::SystemServices& services;
};

/// Every command's own options, filled by the parser.
struct CommandOptions {
    std::string file;  ///< show's FILE, decode's TRACE, upgrade's IMAGE
    std::string key;
    WriteOptions write;
    DiffOptions diff;
    ReadOptions read;
    StorageInitOptions init;
    DebugOptions debug;
    BittimingOptions bittiming;
    LogCommandOptions log;  ///< convert, send, dump, play
    SimulateOptions simulate;
    ExportOptions exportOptions;
    ImportOptions import;
};

struct Command {
    const char* name;
    const char* help;
    /// Example lines, one per line, shown by the command's --help and, with
    /// every other command's, by quillon-cli --help.
    const char* examples;
    bool printsJson;  ///< has a JSON form; --json is refused by the others
    std::function<void(CLI::App& command, CommandOptions& options, GlobalOptions& global)>
        addOptions;
    std::function<int(const CommandContext& context, const CommandOptions& options)> run;
};

/// The commands in the order `quillon-cli --help` lists them.
const std::vector<Command>& Commands();

}  // namespace quillon::cli
