#include "platform/kelvix/TraceLine.hpp"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace kelvix {

std::string FormatTraceLine(const CanFrameRecord& frame, std::uint32_t channel,
                            TraceDirection direction, double seconds) {
    char head[64];
    std::snprintf(head, sizeof(head), "(%.6f) can%u ", seconds, channel);
    std::string line(head);
    char id[16];
    if (frame.ExternFlag != 0) {
        std::snprintf(id, sizeof(id), "%08X#", frame.ID & 0x1FFFFFFFu);
    } else {
        std::snprintf(id, sizeof(id), "%03X#", frame.ID & 0x7FFu);
    }
    line += id;
    const unsigned length = frame.DataLen > 8 ? 8u : frame.DataLen;
    if (frame.RemoteFlag != 0) {
        line += 'R';
        if (length > 0) {
            line += std::to_string(length);
        }
    } else {
        char byte[4];
        for (unsigned i = 0; i < length; ++i) {
            std::snprintf(byte, sizeof(byte), "%02X", frame.Data[i]);
            line += byte;
        }
    }
    line += ' ';
    line += DirectionLetter(direction);
    return line;
}

namespace {

bool ParseHexByte(std::string_view text, std::uint8_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + 2, value, 16);
    return error == std::errc() && end == text.data() + 2;
}

std::string_view NextWord(std::string_view& rest) {
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) {
        rest.remove_prefix(1);
    }
    const auto end = rest.find_first_of(" \t\r\n");
    const std::string_view word = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
    return word;
}

bool ParsePayload(std::string_view data, CanFrameRecord& frame) {
    if (!data.empty() && (data.front() == 'R' || data.front() == 'r')) {
        frame.RemoteFlag = 1;
        data.remove_prefix(1);
        unsigned length = 0;
        if (!data.empty() &&
            std::from_chars(data.data(), data.data() + data.size(), length).ec != std::errc()) {
            return false;
        }
        frame.DataLen = static_cast<std::uint8_t>(std::min(length, 8u));
        return true;
    }
    if (data.size() % 2 != 0 || data.size() > 16) {
        return false;
    }
    frame.DataLen = static_cast<std::uint8_t>(data.size() / 2);
    for (std::size_t i = 0; i < frame.DataLen; ++i) {
        if (!ParseHexByte(data.substr(2 * i, 2), frame.Data[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<TracedFrame> ParseTraceLine(std::string_view line) {
    std::string_view rest = line;
    const std::string_view stamp = NextWord(rest);
    const std::string_view channel = NextWord(rest);
    const std::string_view body = NextWord(rest);
    const std::string_view direction = NextWord(rest);
    if (stamp.empty() || stamp.front() != '(' || !channel.starts_with("can") || body.empty()) {
        return std::nullopt;
    }
    TracedFrame traced;
    if (std::from_chars(channel.data() + 3, channel.data() + channel.size(), traced.channel).ec !=
        std::errc()) {
        return std::nullopt;
    }
    const auto hash = body.find('#');
    if (hash == std::string_view::npos || hash == 0 || hash > 8) {
        return std::nullopt;
    }
    const std::string_view id = body.substr(0, hash);
    if (std::from_chars(id.data(), id.data() + id.size(), traced.frame.ID, 16).ec != std::errc()) {
        return std::nullopt;
    }
    traced.frame.ExternFlag = id.size() > 3 ? 1 : 0;
    if (!ParsePayload(body.substr(hash + 1), traced.frame)) {
        return std::nullopt;
    }
    traced.direction = direction == "T" || direction == "t" ? TraceDirection::Transmitted
                                                            : TraceDirection::Received;
    return traced;
}

}  // namespace kelvix
