#include "frontends/cli/TraceDecoder.hpp"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace quillon::cli {
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

std::string Rule(const char* what, std::uint32_t k, std::uint32_t part) {
    return std::string(what) + " " + std::to_string(k) + " part " + std::to_string(part);
}

std::string ExtendedMeaning(std::uint32_t id, bool remote) {
    if (remote) {
        return id == 1 ? "erase command" : id == 2 ? "program command" : "unknown remote frame";
    }
    if (id == 1)
        return "channel settings";
    if (id == 2)
        return "channel accept-all and filter count";
    if (id >= 3 && id <= 42) {
        return "recording filter " + std::to_string((id - 3) / 2) +
               (id % 2 == 1 ? " kind and interval" : " identifier range");
    }
    if (id == 0x100)
        return "acceptance filter header";
    if (id > 0x100 && id <= 0x11C) {
        return "acceptance filter " + std::to_string((id - 0x101) / 2) +
               (id % 2 == 1 ? " format" : " value and mask");
    }
    if (id == 0x1FF)
        return "bridge header";
    if (id >= 0x200 && id <= 0x23B)
        return Rule("bridge rule", (id - 0x200) / 6, (id - 0x200) % 6);
    if (id == 0x2FF)
        return "replay header";
    if (id >= 0x300 && id <= 0x327)
        return Rule("replay rule", (id - 0x300) / 4, id % 4);
    return "unknown extended frame";
}

std::string StandardMeaning(std::uint32_t id, bool transmitted) {
    if (id >= 0x10 && id <= 0x3F)
        return id == 0x3F ? "DTU parameters end" : "DTU parameter";
    if (id >= 0xF0 && id <= 0xF3) {
        return transmitted ? "debug text to device"
                           : "debug message level " + std::to_string(id - 0xF0);
    }
    switch (id) {
        case 0:
            return transmitted ? "closing command (apply)" : "read completion";
        case 1:
            return transmitted ? "firmware image data" : "identity: serial bytes 0-7";
        case 2:
            return "identity: serial bytes 8-11 and device type";
        case 3:
            return "identity: hardware and firmware versions";
        case 4:
            return transmitted ? "system settings" : "device system settings";
        case 5:
            return "local time";
        case 6:
            return "read request";
        case 7:
            return transmitted ? "storage initialisation" : "storage initialisation result";
        case 8:
            return "opening / closing command";
        default:
            return "unknown standard frame";
    }
}

}  // namespace

std::optional<TraceFrame> ParseTraceLine(std::string_view line) {
    std::string_view rest = line;
    const std::string_view stamp = NextWord(rest);
    const std::string_view channel = NextWord(rest);
    const std::string_view body = NextWord(rest);
    const std::string_view direction = NextWord(rest);
    if (stamp.empty() || stamp.front() != '(' || !channel.starts_with("can") || body.empty()) {
        return std::nullopt;
    }
    TraceFrame traced;
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
    traced.direction = direction == "T" || direction == "t" ? 'T' : 'R';
    return traced;
}

bool IsPlainFrame(const TraceFrame& traced) {
    const auto& f = traced.frame;
    if (f.RemoteFlag != 0) {
        return true;
    }
    return traced.direction == 'T' && f.ExternFlag == 0 && (f.ID == 6 || f.ID == 1);
}

std::string FrameMeaning(const TraceFrame& traced) {
    const auto& f = traced.frame;
    return f.ExternFlag != 0 ? ExtendedMeaning(f.ID, f.RemoteFlag != 0)
                             : StandardMeaning(f.ID, traced.direction == 'T');
}

std::string DecodedDataHex(const TraceFrame& traced, const protocol::Cpc1crypt& cipher) {
    if (traced.frame.RemoteFlag != 0) {
        return {};
    }
    CanFrameRecord frame = traced.frame;
    if (!IsPlainFrame(traced)) {
        cipher.DecipherPayload(frame.Data);
    }
    std::string hex;
    char digits[3];
    for (std::size_t i = 0; i < frame.DataLen && i < 8; ++i) {
        std::snprintf(digits, sizeof(digits), "%02X", frame.Data[i]);
        hex += digits;
    }
    return hex;
}

std::optional<protocol::Cpc1crypt::Key> ParseKey(std::string_view hex) {
    protocol::Cpc1crypt::Key key{};
    if (hex.size() != 2 * key.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (!ParseHexByte(hex.substr(2 * i, 2), key[i])) {
            return std::nullopt;
        }
    }
    return key;
}

}  // namespace quillon::cli
