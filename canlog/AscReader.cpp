#include "canlog/AscReader.hpp"

#include "canlog/AscDate.hpp"
#include "canlog/TextFields.hpp"

namespace quillon::canlog {
namespace {

bool StartsTimed(std::string_view line) {
    return !line.empty() && ((line[0] >= '0' && line[0] <= '9') || line[0] == '-');
}

bool IsTriggerBlockLine(std::string_view line) {
    for (const std::string_view start :
         {"Begin Triggerblock", "Begin TriggerBlock", "End Triggerblock", "End TriggerBlock"}) {
        if (line.starts_with(start)) {
            return true;
        }
    }
    return false;
}

}  // namespace

AscReader::AscReader(std::unique_ptr<LineSource> lines, std::string name)
    : LogReader(std::move(lines), std::move(name)) {}

bool AscReader::ParseNumber(std::string_view text, std::uint32_t& value) const {
    return decimal_ ? ParseDecimal(text, value) : ParseHex32(text, value);
}

LineKind AscReader::ParseLine(std::string_view line, protocol::TimedFrame& frame,
                              std::string& problem) {
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return LineKind::Other;
    }
    line.remove_prefix(first);
    if (StartsTimed(line)) {
        return ParseTimedLine(line, frame, problem);
    }
    return ParseHeader(line, problem);
}

LineKind AscReader::ParseHeader(std::string_view line, std::string& problem) {
    if (line.starts_with("//") || IsTriggerBlockLine(line) || line == "internal events logged" ||
        line == "no internal events logged") {
        return LineKind::Other;
    }
    std::string_view rest = line;
    const std::string_view keyword = NextWord(rest);
    if (keyword == "date") {
        const auto date = ParseAscDate(rest);
        if (!date) {
            problem = "the date is not WEEKDAY MONTH DAY HH:MM:SS[.mmm] [am|pm] YEAR";
            return LineKind::Bad;
        }
        dateUs_ = *date;
        return LineKind::Other;
    }
    if (keyword == "base") {
        const std::string_view base = NextWord(rest);
        const std::string_view timestamps = NextWord(rest);
        const std::string_view mode = NextWord(rest);
        if ((base != "hex" && base != "dec") || timestamps != "timestamps" ||
            (mode != "absolute" && mode != "relative")) {
            problem = "the base line is not: base hex|dec timestamps absolute|relative";
            return LineKind::Bad;
        }
        decimal_ = base == "dec";
        relative_ = mode == "relative";
        return LineKind::Other;
    }
    problem = "not an ASC line";
    return LineKind::Bad;
}

LineKind AscReader::ParseTimedLine(std::string_view line, protocol::TimedFrame& frame,
                                   std::string& problem) {
    std::string_view rest = line;
    std::int64_t offsetUs = 0;
    if (!ParseSecondsUs(NextWord(rest), offsetUs, true)) {
        problem = "the time is not SECONDS.FRACTION with at most 6 decimals";
        return LineKind::Bad;
    }
    const std::int64_t lineUs = relative_ ? lastUs_ + offsetUs : offsetUs;
    lastUs_ = lineUs;
    const std::string_view channelText = NextWord(rest);
    if (channelText == "CANFD") {
        problem = "CAN FD frames are not supported";
        return LineKind::Bad;
    }
    std::uint32_t channel = 0;
    std::string_view idText = NextWord(rest);
    const bool extended = idText.ends_with('x');
    if (extended) {
        idText.remove_suffix(1);
    }
    // Events and statistics carry a time and a channel but no identifier.
    if (!ParseDecimal(channelText, channel) || !ParseNumber(idText, frame.id)) {
        return LineKind::Other;
    }
    const std::string_view direction = NextWord(rest);
    const std::string_view kind = NextWord(rest);
    if ((direction != "Rx" && direction != "Tx") || (kind != "d" && kind != "r")) {
        problem = "not TIME CHANNEL ID Rx|Tx d|r ...";
        return LineKind::Bad;
    }
    if (channel != 1 && channel != 2) {
        problem = "channel " + std::string(channelText) + " is neither 1 (CAN1) nor 2 (CAN2)";
        return LineKind::Bad;
    }
    frame.extended = extended;
    frame.remote = kind == "r";
    std::uint32_t length = 0;
    const std::string_view lengthText = NextWord(rest);
    if (frame.remote) {
        // A remote frame's length is optional; words after it are notes.
        if (!ParseDecimal(lengthText, length, 1)) {
            length = 0;
        }
    } else if (!ParseDecimal(lengthText, length, 1)) {
        problem = "the length is not one digit";
        return LineKind::Bad;
    }
    if (length > 8) {
        problem = "the length is above 8";
        return LineKind::Bad;
    }
    frame.length = static_cast<std::uint8_t>(length);
    for (std::uint32_t i = 0; i < length && !frame.remote; ++i) {
        std::uint32_t byte = 0;
        const std::string_view byteText = NextWord(rest);
        if (byteText.size() > 3 || !ParseNumber(byteText, byte) || byte > 0xFF) {
            problem = "data byte " + std::to_string(i + 1) + " of " + std::to_string(length) +
                      " is missing or not a byte";
            return LineKind::Bad;
        }
        frame.data[i] = static_cast<std::uint8_t>(byte);
    }
    if (const auto wrong = IdentifierProblem(frame.id, frame.extended); !wrong.empty()) {
        problem = wrong;
        return LineKind::Bad;
    }
    frame.timeUs = dateUs_ + lineUs;
    if (frame.timeUs < 0) {
        problem = "the frame's time falls before 1970";
        return LineKind::Bad;
    }
    frame.channel = static_cast<int>(channel) - 1;
    return LineKind::Frame;
}

}  // namespace quillon::canlog
