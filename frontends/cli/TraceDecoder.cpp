#include "frontends/cli/TraceDecoder.hpp"

#include <charconv>
#include <cstdio>

#include "protocol/FrameCatalogue.hpp"

namespace quillon::cli {
namespace {

bool ParseHexByte(std::string_view text, std::uint8_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + 2, value, 16);
    return error == std::errc() && end == text.data() + 2;
}

}  // namespace

bool IsPlainFrame(const kelvix::TracedFrame& traced) {
    return traced.direction == kelvix::TraceDirection::Transmitted
               ? protocol::SentPlain(traced.frame)
               : traced.frame.RemoteFlag != 0;
}

std::string FrameMeaning(const kelvix::TracedFrame& traced) {
    return protocol::Describe(traced.frame,
                              traced.direction == kelvix::TraceDirection::Transmitted);
}

std::string DecodedDataHex(const kelvix::TracedFrame& traced, const protocol::Cpc1crypt& cipher) {
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
