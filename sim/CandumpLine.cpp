#include "sim/CandumpLine.hpp"

#include <algorithm>
#include <charconv>

#include "platform/kelvix/TraceLine.hpp"

namespace quillon::sim {
namespace {

constexpr std::int64_t US_PER_SECOND = 1'000'000;
constexpr std::size_t FRACTION_DIGITS = 6;
constexpr std::uint32_t STANDARD_ID_LIMIT = 0x7FF;
constexpr std::uint32_t EXTENDED_ID_LIMIT = 0x1FFFFFFF;

bool Space(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Word(std::string_view& rest) {
    std::size_t start = 0;
    while (start < rest.size() && Space(rest[start])) {
        ++start;
    }
    std::size_t end = start;
    while (end < rest.size() && !Space(rest[end])) {
        ++end;
    }
    const std::string_view word = rest.substr(start, end - start);
    rest.remove_prefix(end);
    return word;
}

// "(1436509052.249713)" in microseconds; a shorter fraction counts from the left.
std::optional<std::int64_t> ParseStamp(std::string_view stamp) {
    if (stamp.size() < 3 || stamp.front() != '(' || stamp.back() != ')') {
        return std::nullopt;
    }
    stamp = stamp.substr(1, stamp.size() - 2);
    const auto dot = stamp.find('.');
    const std::string_view whole = stamp.substr(0, dot);
    const std::string_view fraction =
        dot == std::string_view::npos ? std::string_view() : stamp.substr(dot + 1);
    std::int64_t seconds = 0;
    if (whole.empty() || std::from_chars(whole.data(), whole.data() + whole.size(), seconds).ptr !=
                             whole.data() + whole.size()) {
        return std::nullopt;
    }
    if (fraction.size() > FRACTION_DIGITS) {
        return std::nullopt;
    }
    std::int64_t micros = 0;
    for (std::size_t i = 0; i < FRACTION_DIGITS; ++i) {
        const char digit = i < fraction.size() ? fraction[i] : '0';
        if (digit < '0' || digit > '9') {
            return std::nullopt;
        }
        micros = micros * 10 + (digit - '0');
    }
    return seconds * US_PER_SECOND + micros;
}

// The frame of "ID#DATA", read by the trace's own reader.
std::optional<protocol::TimedFrame> ParseBody(std::string_view body, std::string_view rest) {
    // The trace reader wants a whole line: the frame's words behind a stamp and interface.
    thread_local std::string line;
    line.assign("(0) can0 ").append(body).append(rest);
    const std::optional<kelvix::TracedFrame> traced = kelvix::ParseTraceLine(line);
    if (!traced || body.empty()) {
        return std::nullopt;
    }
    const bool extended = traced->frame.ExternFlag != 0;
    if (traced->frame.ID > (extended ? EXTENDED_ID_LIMIT : STANDARD_ID_LIMIT)) {
        return std::nullopt;
    }
    protocol::TimedFrame frame;
    frame.id = traced->frame.ID;
    frame.extended = extended;
    frame.remote = traced->frame.RemoteFlag != 0;
    frame.length = traced->frame.DataLen;
    if (!frame.remote) {
        std::copy(traced->frame.Data, traced->frame.Data + frame.length, frame.data.begin());
    }
    return frame;
}

// "(1436509052.249713) " for a time in microseconds.
std::string Stamp(std::int64_t timeUs) {
    char text[40];
    text[0] = '(';
    char* end = std::to_chars(text + 1, text + sizeof(text), timeUs / US_PER_SECOND).ptr;
    *end++ = '.';
    std::int64_t micros = timeUs % US_PER_SECOND;
    for (std::size_t i = FRACTION_DIGITS; i-- > 0;) {
        end[i] = static_cast<char>('0' + micros % 10);
        micros /= 10;
    }
    end += FRACTION_DIGITS;
    *end++ = ')';
    *end++ = ' ';
    return std::string(text, end);
}

}  // namespace

CandumpLine ParseCandumpLine(std::string_view line, const std::vector<std::string>& channels) {
    CandumpLine parsed;
    std::string_view rest = line;
    const std::string_view stamp = Word(rest);
    if (stamp.empty() || stamp.front() == '#') {
        return parsed;
    }
    const std::optional<std::int64_t> timeUs = ParseStamp(stamp);
    if (!timeUs) {
        parsed.kind = CandumpLine::Kind::NoTimestamp;
        return parsed;
    }
    const std::string_view interface = Word(rest);
    const std::string_view body = Word(rest);
    const auto channel = std::find(channels.begin(), channels.end(), interface);
    if (channel == channels.end()) {
        parsed.kind = CandumpLine::Kind::UnknownInterface;
        parsed.interface = interface;
        return parsed;
    }
    const std::optional<protocol::TimedFrame> frame = ParseBody(body, rest);
    if (!frame) {
        parsed.kind = CandumpLine::Kind::Malformed;
        return parsed;
    }
    parsed.kind = CandumpLine::Kind::Frame;
    parsed.frame = *frame;
    parsed.frame.timeUs = *timeUs;
    parsed.frame.channel = static_cast<int>(channel - channels.begin());
    return parsed;
}

std::string FormatCandumpLine(const protocol::TimedFrame& frame,
                              const std::vector<std::string>& channels) {
    CanFrameRecord record{};
    record.ID = frame.id;
    record.ExternFlag = frame.extended ? 1 : 0;
    record.RemoteFlag = frame.remote ? 1 : 0;
    record.DataLen = frame.length;
    std::copy(frame.data.begin(), frame.data.end(), record.Data);
    // The trace line's stamp and direction are the trace's own: keep only the frame.
    const std::string traced =
        kelvix::FormatTraceLine(record, 0, kelvix::TraceDirection::Received, 0.0);
    const auto bodyStart = traced.find(' ', traced.find(' ') + 1) + 1;
    const auto bodyEnd = traced.rfind(' ');
    std::string line = Stamp(frame.timeUs);
    line.append(channels[static_cast<std::size_t>(frame.channel)]).append(1, ' ');
    line.append(traced, bodyStart, bodyEnd - bodyStart);
    return line;
}

}  // namespace quillon::sim
