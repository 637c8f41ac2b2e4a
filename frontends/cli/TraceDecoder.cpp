#include "frontends/cli/TraceDecoder.hpp"

#include "protocol/FrameCatalogue.hpp"

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
    return traced.direction == 'T' ? protocol::SentPlain(traced.frame)
                                   : traced.frame.RemoteFlag != 0;
}

std::string FrameMeaning(const TraceFrame& traced) {
    return protocol::Describe(traced.frame, traced.direction == 'T');
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
