// The log formats Quillon reads and writes, and how a file's format is told.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quillon::canlog {

enum class LogFormat {
    Candump,   ///< `(1436509052.249713) can0 123#DEADBEEF`, one frame a line
    Asc,       ///< the ASC text log: a date header, then times relative to it
    Csv,       ///< one header line, then `time,channel,id,extended,remote,length,data`
    Recorder,  ///< what the simulated recorder stores: a candump log named NAME.log
};

/// "candump", "asc", "csv" or "recorder".
std::string_view LogFormatName(LogFormat format);
/// The format of a name LogFormatName gives; nothing for any other text.
std::optional<LogFormat> LogFormatNamed(std::string_view name);
/// The format a file name's extension suggests (.log candump, .asc, .csv); case is ignored.
std::optional<LogFormat> LogFormatOfExtension(const std::filesystem::path& path);
/// The format the start of a file shows: its first line that is not blank is a
/// candump line, an ASC header line or the CSV header. Nothing when it is none.
std::optional<LogFormat> LogFormatOfContent(std::string_view start);

}  // namespace quillon::canlog
