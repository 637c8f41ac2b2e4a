#include "canlog/ConvertLog.hpp"

#include "canlog/LogWriter.hpp"
#include "canlog/PendingFile.hpp"
#include "platform/system/Utf8Path.hpp"

namespace quillon::canlog {
namespace {

constexpr std::uint64_t PROGRESS_BYTES = 64 * 1024;
constexpr std::size_t FLUSH_BYTES = 64 * 1024;

ConvertResult Failed(std::string error, bool badInput) {
    ConvertResult result;
    result.error = std::move(error);
    result.badInput = badInput;
    return result;
}

}  // namespace

ConvertResult ConvertLog(const std::filesystem::path& in, const std::filesystem::path& out,
                         LogFormat to, const std::function<void(const ConvertProgress&)>& progress,
                         const ConvertOptions& options) {
    if (to == LogFormat::Recorder && out.extension() != ".log") {
        return Failed("the recorder stores files named NAME.log, not " + sys::PathToUtf8(out),
                      false);
    }
    OpenedLog opened = OpenLogReader(in, options.from, options.names);
    if (!opened.reader) {
        return Failed(opened.error, true);
    }
    PendingFile file;
    if (std::string problem = file.Open(out); !problem.empty()) {
        return Failed(problem, false);
    }
    const auto writer = MakeLogWriter(to, options.names);
    ConvertProgress done{0, opened.reader->TotalBytes(), 0};
    std::uint64_t reportedBytes = 0;
    std::string text;
    protocol::TimedFrame frame;
    while (opened.reader->Next(frame)) {
        if (std::string problem = writer->Write(frame, text); !problem.empty()) {
            return Failed(sys::PathToUtf8(in) + ":" + std::to_string(opened.reader->LineNumber()) +
                              ": the " + std::string(LogFormatName(to)) +
                              " log cannot hold this frame: " + problem,
                          true);
        }
        ++done.frames;
        if (text.size() >= FLUSH_BYTES) {
            file.Append(text);
            text.clear();
        }
        done.bytesRead = opened.reader->BytesRead();
        if (progress && done.bytesRead - reportedBytes >= PROGRESS_BYTES) {
            reportedBytes = done.bytesRead;
            progress(done);
        }
    }
    if (!opened.reader->Error().empty()) {
        return Failed(opened.reader->Error(), true);
    }
    writer->Finish(text);
    file.Append(text);
    if (std::string problem = file.Commit(); !problem.empty()) {
        return Failed(problem, false);
    }
    done.bytesRead = opened.reader->BytesRead();
    if (progress) {
        progress(done);
    }
    ConvertResult result;
    result.ok = true;
    result.frames = done.frames;
    return result;
}

}  // namespace quillon::canlog
