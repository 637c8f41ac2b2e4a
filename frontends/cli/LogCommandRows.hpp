// The rows of quillon-cli's command table for the log commands.
#pragma once

#include "frontends/cli/CommandTable.hpp"

namespace quillon::cli {

Command ConvertRow();
Command SendRow();
Command DumpRow();
Command PlayRow();

}  // namespace quillon::cli
