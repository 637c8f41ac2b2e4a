// Streaming log readers: one frame at a time, whatever the format, with the
// file and line of the first bad line. Open one with OpenLogReader:
//
//   auto opened = canlog::OpenLogReader("drive.asc");
//   protocol::TimedFrame frame;
//   while (opened.reader->Next(frame)) { ... }
//   if (!opened.reader->Error().empty()) { report it, e.g. "drive.asc:7: ..." }
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "canlog/ChannelNames.hpp"
#include "canlog/LineSource.hpp"
#include "canlog/LogFormat.hpp"
#include "protocol/TimedFrame.hpp"

namespace quillon::canlog {

/// What a line holds, as a format's parser sees it.
enum class LineKind { Frame, Other, Bad };

class LogReader {
  public:
    virtual ~LogReader() = default;
    LogReader(const LogReader&) = delete;
    LogReader& operator=(const LogReader&) = delete;

    /// The next frame of the log. False at the end, and at the first line that
    /// cannot be read: Error() then names the file and line.
    virtual bool Next(protocol::TimedFrame& frame);
    /// Empty after a clean end; else "FILE:LINE: what is wrong", or why the
    /// file cannot be read.
    const std::string& Error() const { return error_; }
    std::uint64_t BytesRead() const { return lines_->BytesRead(); }
    std::uint64_t TotalBytes() const { return lines_->TotalBytes(); }
    /// The line of the frame Next() gave last (1 for the first line).
    std::uint64_t LineNumber() const { return lines_->LineNumber(); }

  protected:
    LogReader(std::unique_ptr<LineSource> lines, std::string name);

    /// Next's loop over the lines, with `parse` taking each apart as ParseLine
    /// does. A format whose logs run to millions of lines overrides Next with
    /// its own parse here, called directly rather than through ParseLine.
    template <typename Parse>
    bool NextWith(protocol::TimedFrame& frame, Parse&& parse) {
        if (!error_.empty()) {
            return false;
        }
        std::string_view line;
        while (lines_->Next(line)) {
            frame = {};
            problem_.clear();
            switch (parse(line, frame, problem_)) {
                case LineKind::Frame:
                    return true;
                case LineKind::Other:
                    continue;
                case LineKind::Bad:
                    FailAtLine();
                    return false;
            }
        }
        EndOfLines();
        return false;
    }

    /// Takes one line apart: a frame into `frame`, a line that carries none
    /// (header, comment, event), or a bad one with `problem` set.
    virtual LineKind ParseLine(std::string_view line, protocol::TimedFrame& frame,
                               std::string& problem) = 0;

  private:
    /// Error() for the line just read, from `problem_`.
    void FailAtLine();
    /// Error() at the end of the lines: what the line source met, if anything.
    void EndOfLines();

    std::unique_ptr<LineSource> lines_;
    std::string name_;
    std::string error_;
    std::string problem_;  ///< what a parse says of a bad line
};

struct OpenedLog {
    std::unique_ptr<LogReader> reader;  ///< null when the log cannot be read
    LogFormat format = LogFormat::Candump;
    std::string error;  ///< why not, naming the file
};

/// Opens `path` as `format`, or as what its content shows (its extension when
/// the file is empty). `names` maps candump interfaces to channels 0 and 1; a
/// line on any other interface is an error.
OpenedLog OpenLogReader(const std::filesystem::path& path,
                        std::optional<LogFormat> format = std::nullopt,
                        const ChannelNames& names = DEFAULT_CHANNEL_NAMES);

/// A reader over `text` (which must outlive it), reporting lines as `name`:LINE.
std::unique_ptr<LogReader> MakeTextLogReader(std::string_view text, LogFormat format,
                                             std::string name,
                                             const ChannelNames& names = DEFAULT_CHANNEL_NAMES);

}  // namespace quillon::canlog
