#include "canlog/LogFormat.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

#include "canlog/CsvFormat.hpp"

namespace quillon::canlog {
namespace {

constexpr std::array<std::pair<LogFormat, std::string_view>, 4> NAMES = {{
    {LogFormat::Candump, "candump"},
    {LogFormat::Asc, "asc"},
    {LogFormat::Csv, "csv"},
    {LogFormat::Recorder, "recorder"},
}};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string_view FirstLine(std::string_view start) {
    for (;;) {
        const auto end = start.find('\n');
        std::string_view line = start.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const auto first = line.find_first_not_of(" \t");
        // A candump log may open with '#' comments.
        if (first != std::string_view::npos && line[first] != '#') {
            return line.substr(first);
        }
        if (end == std::string_view::npos) {
            return {};
        }
        start.remove_prefix(end + 1);
    }
}

}  // namespace

std::string_view LogFormatName(LogFormat format) {
    for (const auto& [known, name] : NAMES) {
        if (known == format) {
            return name;
        }
    }
    return "candump";
}

std::optional<LogFormat> LogFormatNamed(std::string_view name) {
    for (const auto& [format, known] : NAMES) {
        if (known == name) {
            return format;
        }
    }
    return std::nullopt;
}

std::optional<LogFormat> LogFormatOfExtension(const std::filesystem::path& path) {
    const std::string extension = Lower(path.extension().string());
    if (extension == ".log") {
        return LogFormat::Candump;
    }
    if (extension == ".asc") {
        return LogFormat::Asc;
    }
    if (extension == ".csv") {
        return LogFormat::Csv;
    }
    return std::nullopt;
}

std::optional<LogFormat> LogFormatOfContent(std::string_view start) {
    if (start.starts_with("\xEF\xBB\xBF")) {
        start.remove_prefix(3);
    }
    const std::string_view line = FirstLine(start);
    if (line.starts_with("(")) {
        return LogFormat::Candump;
    }
    if (line == CSV_HEADER) {
        return LogFormat::Csv;
    }
    for (const std::string_view word : {"date ", "base ", "Begin Triggerblock", "//"}) {
        if (line.starts_with(word)) {
            return LogFormat::Asc;
        }
    }
    return std::nullopt;
}

}  // namespace quillon::canlog
