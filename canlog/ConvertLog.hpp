// Converting a log from one format into another: the work behind
// `quillon-cli convert` and the converter's window. Streams: memory does not
// grow with the log.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "canlog/LogFormat.hpp"
#include "canlog/LogReader.hpp"

namespace quillon::canlog {

struct ConvertProgress {
    std::uint64_t bytesRead = 0;
    std::uint64_t totalBytes = 0;  ///< the input's size
    std::uint64_t frames = 0;      ///< frames written so far
};

struct ConvertOptions {
    std::optional<LogFormat> from;  ///< the input's format; nothing: told from the file
    ChannelNames names = DEFAULT_CHANNEL_NAMES;  ///< candump interfaces of channels 0 and 1
};

struct ConvertResult {
    bool ok = false;
    std::string error;  ///< what failed and where ("in.log:12: ..."), empty when ok
    /// Why the input could not be read, as opposed to the output not written.
    bool badInput = false;
    std::uint64_t frames = 0;
};

/// Reads `in` and writes every frame to `out` in `to`, keeping times,
/// channels, identifiers, flags and data. `out` appears only complete: on any
/// failure what was under its name before stays and no partial file is left.
/// `progress` (may be empty) is called about every 64 KiB of input and at the end.
/// `to` Recorder requires an output named NAME.log.
ConvertResult ConvertLog(const std::filesystem::path& in, const std::filesystem::path& out,
                         LogFormat to, const std::function<void(const ConvertProgress&)>& progress,
                         const ConvertOptions& options = {});

}  // namespace quillon::canlog
