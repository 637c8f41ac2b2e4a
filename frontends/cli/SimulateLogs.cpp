#include "frontends/cli/SimulateLogs.hpp"

#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/kelvix/TraceLine.hpp"
#include "platform/system/Utf8Path.hpp"

namespace quillon::cli {
namespace {

constexpr std::int64_t US_PER_SECOND = 1'000'000;
constexpr std::size_t FRACTION_DIGITS = 6;

std::string_view Word(std::string_view& rest) {
    const auto start = rest.find_first_not_of(" \t\r");
    if (start == std::string_view::npos) {
        rest = {};
        return {};
    }
    rest.remove_prefix(start);
    const auto end = rest.find_first_of(" \t\r");
    const std::string_view word = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
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

bool Blank(std::string_view line) {
    const auto start = line.find_first_not_of(" \t\r");
    return start == std::string_view::npos || line[start] == '#';
}

}  // namespace

std::unique_ptr<SimulateLogReader> SimulateLogReader::Open(const std::string& file,
                                                           const std::vector<std::string>& channels,
                                                           std::string& why) {
    const std::filesystem::path path = sys::PathFromUtf8(file);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        why = "cannot read " + file + ": no such regular file";
        return nullptr;
    }
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        why = "cannot open " + file;
        return nullptr;
    }
    return std::unique_ptr<SimulateLogReader>(
        new SimulateLogReader(file, channels, std::move(stream)));
}

SimulateLogReader::SimulateLogReader(std::string file, std::vector<std::string> channels,
                                     std::ifstream stream)
    : file_(std::move(file)), channels_(std::move(channels)), stream_(std::move(stream)) {}

std::optional<protocol::TimedFrame> SimulateLogReader::Next() {
    while (problem_.empty() && std::getline(stream_, line_)) {
        ++number_;
        if (Blank(line_)) {
            continue;
        }
        return ParseLine(line_);
    }
    return std::nullopt;
}

std::optional<protocol::TimedFrame> SimulateLogReader::ParseLine(const std::string& line) {
    std::string_view rest = line;
    const std::optional<std::int64_t> timeUs = ParseStamp(Word(rest));
    if (!timeUs) {
        Fail(sawFrame_ ? "malformed frame line" : "not a candump log");
        return std::nullopt;
    }
    const std::string_view interface = Word(rest);
    const std::string_view body = Word(rest);
    std::size_t channel = 0;
    while (channel < channels_.size() && channels_[channel] != interface) {
        ++channel;
    }
    if (channel == channels_.size()) {
        std::string names;
        for (const std::string& name : channels_) {
            names += (names.empty() ? "" : ",") + name;
        }
        Fail("interface " + std::string(interface) + " is not in --channels (" + names + ")");
        return std::nullopt;
    }
    body_.assign("(0) can0 ").append(body).append(rest);
    const std::optional<kelvix::TracedFrame> traced = kelvix::ParseTraceLine(body_);
    const std::uint32_t idLimit = traced && traced->frame.ExternFlag != 0 ? 0x1FFFFFFF : 0x7FF;
    if (!traced || body.empty() || traced->frame.ID > idLimit) {
        Fail("malformed frame line");
        return std::nullopt;
    }
    sawFrame_ = true;
    protocol::TimedFrame frame;
    frame.timeUs = *timeUs;
    frame.channel = static_cast<int>(channel);
    frame.id = traced->frame.ID;
    frame.extended = traced->frame.ExternFlag != 0;
    frame.remote = traced->frame.RemoteFlag != 0;
    frame.length = traced->frame.DataLen;
    if (!frame.remote) {
        std::copy(traced->frame.Data, traced->frame.Data + frame.length, frame.data.begin());
    }
    return frame;
}

void SimulateLogReader::Fail(const std::string& what) {
    problem_ = file_ + ":" + std::to_string(number_) + ": " + what;
}

std::string SimulateLogLine(const protocol::TimedFrame& frame,
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
    char stamp[48];
    std::snprintf(stamp, sizeof(stamp), "(%" PRId64 ".%06" PRId64 ") ",
                  frame.timeUs / US_PER_SECOND, frame.timeUs % US_PER_SECOND);
    return stamp + channels[static_cast<std::size_t>(frame.channel)] + ' ' +
           traced.substr(bodyStart, bodyEnd - bodyStart);
}

}  // namespace quillon::cli
