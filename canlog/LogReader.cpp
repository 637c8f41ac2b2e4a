#include "canlog/LogReader.hpp"

#include "canlog/AscReader.hpp"
#include "canlog/CandumpReader.hpp"
#include "canlog/CsvReader.hpp"
#include "platform/system/InputFile.hpp"
#include "platform/system/Utf8Path.hpp"

namespace quillon::canlog {
namespace {

constexpr std::size_t SNIFF_BYTES = 4096;

std::unique_ptr<LogReader> MakeReader(std::unique_ptr<LineSource> lines, LogFormat format,
                                      std::string name, const ChannelNames& names) {
    switch (format) {
        case LogFormat::Asc:
            return std::make_unique<AscReader>(std::move(lines), std::move(name));
        case LogFormat::Csv:
            return std::make_unique<CsvReader>(std::move(lines), std::move(name));
        case LogFormat::Candump:
        case LogFormat::Recorder:
            break;
    }
    return std::make_unique<CandumpReader>(std::move(lines), std::move(name), names);
}

}  // namespace

LogReader::LogReader(std::unique_ptr<LineSource> lines, std::string name)
    : lines_(std::move(lines)), name_(std::move(name)) {
    error_ = lines_->Error();
}

bool LogReader::Next(protocol::TimedFrame& frame) {
    return NextWith(
        frame, [this](std::string_view line, protocol::TimedFrame& parsed, std::string& problem) {
            return ParseLine(line, parsed, problem);
        });
}

void LogReader::FailAtLine() {
    error_ = name_ + ":" + std::to_string(lines_->LineNumber()) + ": " + problem_;
}

void LogReader::EndOfLines() {
    if (!lines_->Error().empty()) {
        error_ = lines_->LineNumber() == 0 || lines_->Error().starts_with("cannot")
                     ? lines_->Error()
                     : name_ + ":" + std::to_string(lines_->LineNumber()) + ": " + lines_->Error();
    }
}

OpenedLog OpenLogReader(const std::filesystem::path& path, std::optional<LogFormat> format,
                        const ChannelNames& names) {
    OpenedLog opened;
    const std::string name = sys::PathToUtf8(path);
    if (!format) {
        const sys::InputFileBytes start = sys::ReadInputFile(path, SNIFF_BYTES);
        if (!start.ok) {
            opened.error = start.error;
            return opened;
        }
        const std::string_view text(reinterpret_cast<const char*>(start.bytes.data()),
                                    start.bytes.size());
        format = LogFormatOfContent(text);
        if (!format && text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
            format = LogFormatOfExtension(path);
        }
        if (!format) {
            opened.error = "cannot tell the format of " + name +
                           ": it starts with neither a candump line, an ASC header nor the "
                           "CSV header";
            return opened;
        }
    }
    opened.format = *format;
    auto lines = std::make_unique<LineSource>(path);
    if (!lines->Error().empty()) {
        opened.error = lines->Error();
        return opened;
    }
    opened.reader = MakeReader(std::move(lines), *format, name, names);
    return opened;
}

std::unique_ptr<LogReader> MakeTextLogReader(std::string_view text, LogFormat format,
                                             std::string name, const ChannelNames& names) {
    return MakeReader(std::make_unique<LineSource>(text), format, std::move(name), names);
}

}  // namespace quillon::canlog
