// quillon-cli's log commands: convert between log formats, and the bus tools
// send (one frame), dump (what the bus carries, as a candump log) and play
// (a log onto the bus with its timing), through any adapter.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "frontends/cli/Session.hpp"
#include "platform/system/SystemServices.hpp"

namespace quillon::cli {

struct LogCommandOptions {
    std::string in;                      ///< convert's IN, play's LOG, send's CH, dump's CH
    std::string out;                     ///< convert's OUT, send's ID#DATA
    std::string to;                      ///< convert: the output format; empty: OUT's extension
    std::string from;                    ///< the input format; empty: told from the file
    std::string channels = "can0,can1";  ///< interface names of channels 0 and 1
    long long count = 0;                 ///< dump: stop after so many frames; 0: no limit
    long long timeoutMs = 0;             ///< dump: stop after so long without a frame; 0: never
};

/// Converts IN into OUT: EXIT_BAD_FILE when IN cannot be read (file and line
/// named), EXIT_FAILED when OUT cannot be written (it is then as it was),
/// EXIT_USAGE for a format or --channels that does not parse. Reports progress
/// on `err` for inputs of a MiB and more.
int RunConvert(const LogCommandOptions& options, std::ostream& out, std::ostream& err);

/// Sends one frame, `ID#DATA` as cansend writes it, on the channel named CH.
int RunSend(const GlobalOptions& global, const LogCommandOptions& options, std::ostream& out,
            std::ostream& err);

/// Prints the frames the adapter receives (on CH, or both channels) as candump
/// log lines stamped with the Unix time, until --count frames came or none
/// came for --timeout-ms.
int RunDump(const GlobalOptions& global, const LogCommandOptions& options,
            sys::SystemServices& services, std::ostream& out, std::ostream& err);

/// Sends every frame of LOG on its channel, as far apart as the log has them.
int RunPlay(const GlobalOptions& global, const LogCommandOptions& options,
            sys::SystemServices& services, std::ostream& out, std::ostream& err);

}  // namespace quillon::cli
