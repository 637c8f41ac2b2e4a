// Exit statuses of quillon-cli, for scripts.
#pragma once

namespace quillon::cli {

enum ExitCode : int {
    EXIT_OK = 0,
    EXIT_FAILED = 1,      ///< the command ran and failed (device refused, check failed)
    EXIT_USAGE = 2,       ///< bad arguments
    EXIT_TIMEOUT = 3,     ///< the device did not answer in time
    EXIT_NO_ADAPTER = 4,  ///< the adapter could not be opened
    EXIT_BAD_FILE = 5,    ///< an input file is missing or malformed
};

}  // namespace quillon::cli
