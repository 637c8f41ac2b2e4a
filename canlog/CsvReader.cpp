#include "canlog/CsvReader.hpp"

#include <array>

#include "canlog/CsvFormat.hpp"
#include "canlog/TextFields.hpp"

namespace quillon::canlog {
namespace {

constexpr std::size_t COLUMNS = 7;

bool SplitColumns(std::string_view line, std::array<std::string_view, COLUMNS>& columns) {
    for (std::size_t i = 0; i < COLUMNS; ++i) {
        const auto comma = line.find(',');
        if ((comma == std::string_view::npos) != (i == COLUMNS - 1)) {
            return false;
        }
        columns[i] = line.substr(0, comma);
        line = comma == std::string_view::npos ? std::string_view() : line.substr(comma + 1);
    }
    return true;
}

bool ParseFlag(std::string_view text, bool& flag) {
    flag = text == "1";
    return text == "0" || text == "1";
}

// "DE AD BE EF": exactly `length` bytes of two hex digits, one space apart.
bool ParseData(std::string_view text, std::size_t length, protocol::TimedFrame& frame) {
    if (text.size() != (length == 0 ? 0 : length * 3 - 1)) {
        return false;
    }
    for (std::size_t i = 0; i < length; ++i) {
        std::uint32_t byte = 0;
        if (!ParseHex32(text.substr(i * 3, 2), byte) ||
            (i + 1 < length && text[i * 3 + 2] != ' ')) {
            return false;
        }
        frame.data[i] = static_cast<std::uint8_t>(byte);
    }
    return true;
}

}  // namespace

CsvReader::CsvReader(std::unique_ptr<LineSource> lines, std::string name)
    : LogReader(std::move(lines), std::move(name)) {}

LineKind CsvReader::ParseLine(std::string_view line, protocol::TimedFrame& frame,
                              std::string& problem) {
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    if (!headerSeen_) {
        if (line.starts_with("\xEF\xBB\xBF")) {
            line.remove_prefix(3);
        }
        headerSeen_ = true;
        if (line != CSV_HEADER) {
            problem = "the first line is not the CSV header " + std::string(CSV_HEADER);
            return LineKind::Bad;
        }
        return LineKind::Other;
    }
    if (line.empty()) {
        return LineKind::Other;
    }
    std::array<std::string_view, COLUMNS> column;
    if (!SplitColumns(line, column)) {
        problem = "not 7 comma-separated columns";
        return LineKind::Bad;
    }
    std::uint32_t channel = 0;
    std::uint32_t length = 0;
    if (!ParseSecondsUs(column[0], frame.timeUs)) {
        problem = "the time is not SECONDS.FRACTION: " + std::string(column[0]);
    } else if (column[1] != "1" && column[1] != "2") {
        problem = "the channel is neither 1 nor 2: " + std::string(column[1]);
    } else if (!ParseHex32(column[2], frame.id)) {
        problem = "the identifier is not hexadecimal: " + std::string(column[2]);
    } else if (!ParseFlag(column[3], frame.extended) || !ParseFlag(column[4], frame.remote)) {
        problem = "extended and remote are each 0 or 1";
    } else if (!ParseDecimal(column[5], length, 1) || length > 8) {
        problem = "the length is not 0..8: " + std::string(column[5]);
    } else if (!ParseData(column[6], frame.remote ? 0 : length, frame)) {
        problem = frame.remote
                      ? "a remote frame with data"
                      : "the data is not " + std::to_string(length) + " hex bytes one space apart";
    } else if (const auto wrong = IdentifierProblem(frame.id, frame.extended); !wrong.empty()) {
        problem = wrong;
    }
    if (!problem.empty()) {
        return LineKind::Bad;
    }
    ParseDecimal(column[1], channel, 1);
    frame.channel = static_cast<int>(channel) - 1;
    frame.length = static_cast<std::uint8_t>(length);
    return LineKind::Frame;
}

}  // namespace quillon::canlog
