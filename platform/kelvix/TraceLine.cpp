#include "platform/kelvix/TraceLine.hpp"

#include <charconv>
#include <cstdio>

namespace kelvix {
namespace {

// ID#DATA: the part of a line after the interface name.
std::string FrameBody(const CanFrameRecord& frame) {
    char id[16];
    if (frame.ExternFlag != 0) {
        std::snprintf(id, sizeof(id), "%08X#", frame.ID & 0x1FFFFFFFu);
    } else {
        std::snprintf(id, sizeof(id), "%03X#", frame.ID & 0x7FFu);
    }
    std::string body(id);
    const unsigned length = frame.DataLen > 8 ? 8u : frame.DataLen;
    if (frame.RemoteFlag != 0) {
        body += 'R';
        if (length > 0) {
            body += std::to_string(length);
        }
        return body;
    }
    char byte[4];
    for (unsigned i = 0; i < length; ++i) {
        std::snprintf(byte, sizeof(byte), "%02X", frame.Data[i]);
        body += byte;
    }
    return body;
}

}  // namespace

std::string FormatTraceLine(const CanFrameRecord& frame, std::uint32_t channel,
                            TraceDirection direction, double seconds) {
    char head[64];
    std::snprintf(head, sizeof(head), "(%.6f) can%u ", seconds, channel);
    std::string line(head);
    line += FrameBody(frame);
    line += ' ';
    line += DirectionLetter(direction);
    return line;
}

std::string FormatCandumpLine(const CanFrameRecord& frame, std::string_view interfaceName,
                              std::int64_t timeUs) {
    char head[48];
    std::snprintf(head, sizeof(head), "(%lld.%06lld) ", static_cast<long long>(timeUs / 1000000),
                  static_cast<long long>(timeUs % 1000000));
    std::string line(head);
    line += interfaceName;
    line += ' ';
    line += FrameBody(frame);
    return line;
}

namespace {

bool ParseHexByte(std::string_view text, std::uint8_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + 2, value, 16);
    return error == std::errc() && end == text.data() + 2;
}

bool AllDigits(std::string_view text) {
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

std::string_view NextWord(std::string_view& rest) {
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) {
        rest.remove_prefix(1);
    }
    const auto end = rest.find_first_of(" \t");
    const std::string_view word = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
    return word;
}

// "(1436509052.249713)": whole seconds, then at most 6 digits of fraction.
const char* ParseStamp(std::string_view stamp, std::int64_t& timeUs) {
    if (stamp.size() < 3 || stamp.front() != '(' || stamp.back() != ')') {
        return "the line does not start with a (SECONDS.FRACTION) stamp";
    }
    stamp = stamp.substr(1, stamp.size() - 2);
    const auto dot = stamp.find('.');
    const std::string_view whole = stamp.substr(0, dot);
    const std::string_view fraction =
        dot == std::string_view::npos ? std::string_view() : stamp.substr(dot + 1);
    if (whole.empty() || whole.size() > 12 || !AllDigits(whole) || !AllDigits(fraction)) {
        return "the stamp is not SECONDS.FRACTION";
    }
    if (fraction.size() > 6) {
        return "the stamp is finer than a microsecond";
    }
    std::int64_t seconds = 0;
    std::from_chars(whole.data(), whole.data() + whole.size(), seconds);
    std::int64_t micros = 0;
    for (std::size_t i = 0; i < 6; ++i) {
        micros = micros * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
    }
    timeUs = seconds * 1000000 + micros;
    return nullptr;
}

const char* ParseIdentifier(std::string_view id, CanFrameRecord& frame) {
    if (id.size() != 3 && id.size() != 8) {
        return "the identifier has neither 3 nor 8 hex digits";
    }
    const auto [end, error] = std::from_chars(id.data(), id.data() + id.size(), frame.ID, 16);
    if (error != std::errc() || end != id.data() + id.size()) {
        return "the identifier is not hexadecimal";
    }
    frame.ExternFlag = id.size() == 8 ? 1 : 0;
    if (frame.ExternFlag == 0 && frame.ID > 0x7FFu) {
        return "a standard identifier above 7FF";
    }
    if (frame.ExternFlag != 0 && frame.ID > 0x1FFFFFFFu) {
        return "an extended identifier above 1FFFFFFF";
    }
    return nullptr;
}

const char* ParsePayload(std::string_view data, CanFrameRecord& frame) {
    if (!data.empty() && (data.front() == 'R' || data.front() == 'r')) {
        frame.RemoteFlag = 1;
        data.remove_prefix(1);
        if (data.size() > 1 || (data.size() == 1 && (data[0] < '0' || data[0] > '8'))) {
            return "a remote frame's length is not one digit 0..8";
        }
        frame.DataLen = static_cast<std::uint8_t>(data.empty() ? 0 : data[0] - '0');
        return nullptr;
    }
    if (!data.empty() && data.front() == '#') {
        return "CAN FD frames are not supported";
    }
    if (data.size() % 2 != 0) {
        return "odd number of data digits";
    }
    if (data.size() > 16) {
        return "more than 8 data bytes";
    }
    frame.DataLen = static_cast<std::uint8_t>(data.size() / 2);
    for (std::size_t i = 0; i < frame.DataLen; ++i) {
        if (!ParseHexByte(data.substr(2 * i, 2), frame.Data[i])) {
            return "the data is not hexadecimal";
        }
    }
    return nullptr;
}

CandumpLine Malformed(const char* problem) {
    CandumpLine parsed;
    parsed.verdict = CandumpVerdict::Malformed;
    parsed.problem = problem;
    return parsed;
}

}  // namespace

CandumpLine ParseCandumpLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    std::string_view rest = line;
    const std::string_view stamp = NextWord(rest);
    if (stamp.empty() || stamp.front() == '#') {
        return {};
    }
    CandumpLine parsed;
    parsed.verdict = CandumpVerdict::Frame;
    if (const char* problem = ParseStamp(stamp, parsed.timeUs)) {
        return Malformed(problem);
    }
    parsed.interfaceName = NextWord(rest);
    const std::string_view body = NextWord(rest);
    const auto hash = body.find('#');
    if (parsed.interfaceName.empty() || hash == std::string_view::npos) {
        return Malformed("no INTERFACE ID#DATA after the stamp");
    }
    if (const char* problem = ParseIdentifier(body.substr(0, hash), parsed.frame)) {
        return Malformed(problem);
    }
    if (const char* problem = ParsePayload(body.substr(hash + 1), parsed.frame)) {
        return Malformed(problem);
    }
    const std::string_view direction = NextWord(rest);
    if (!direction.empty()) {
        if (direction.size() != 1 ||
            std::string_view("TtRr").find(direction[0]) == std::string_view::npos) {
            return Malformed("the word after the frame is neither T nor R");
        }
        parsed.hasDirection = true;
        parsed.direction = direction[0] == 'T' || direction[0] == 't' ? TraceDirection::Transmitted
                                                                      : TraceDirection::Received;
    }
    if (!NextWord(rest).empty()) {
        return Malformed("more words after the frame");
    }
    return parsed;
}

std::optional<TracedFrame> ParseTraceLine(std::string_view line) {
    const CandumpLine parsed = ParseCandumpLine(line);
    const std::string_view name = parsed.interfaceName;
    if (parsed.verdict != CandumpVerdict::Frame || !name.starts_with("can") || name.size() == 3) {
        return std::nullopt;
    }
    TracedFrame traced;
    const auto [end, error] =
        std::from_chars(name.data() + 3, name.data() + name.size(), traced.channel);
    if (error != std::errc() || end != name.data() + name.size()) {
        return std::nullopt;
    }
    traced.frame = parsed.frame;
    traced.direction = parsed.direction;
    return traced;
}

}  // namespace kelvix
