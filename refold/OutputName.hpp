// The output file the converter's window proposes for an input and a format.
#pragma once

#include <string>
#include <string_view>

#include "canlog/LogFormat.hpp"

namespace quillon::refold {

/// The extension a file of `format` carries: ".log" (candump, recorder), ".asc", ".csv".
std::string_view FormatExtension(canlog::LogFormat format);

/// `input` (UTF-8) with its extension replaced by the format's: "drive.log"
/// to ASC is "drive.asc". Where that would name the input itself, the format's
/// name goes before the extension ("drive.log" to candump is
/// "drive_candump.log"), so a conversion never reads and replaces one file.
/// Empty for an empty input.
std::string DefaultOutputName(std::string_view input, canlog::LogFormat format);

}  // namespace quillon::refold
