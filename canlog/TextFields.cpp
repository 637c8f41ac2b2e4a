#include "canlog/TextFields.hpp"

#include <charconv>
#include <cstdio>

namespace quillon::canlog {
namespace {

bool AllDigits(std::string_view text) {
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

}  // namespace

bool ParseSecondsUs(std::string_view text, std::int64_t& timeUs, bool allowNegative) {
    const bool negative = allowNegative && text.starts_with('-');
    if (negative) {
        text.remove_prefix(1);
    }
    const auto dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    const std::string_view fraction =
        dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    if (whole.empty() || whole.size() > 12 || !AllDigits(whole) || !AllDigits(fraction) ||
        fraction.size() > 6) {
        return false;
    }
    std::int64_t seconds = 0;
    std::from_chars(whole.data(), whole.data() + whole.size(), seconds);
    std::int64_t micros = 0;
    for (std::size_t i = 0; i < 6; ++i) {
        micros = micros * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
    }
    timeUs = (seconds * 1000000 + micros) * (negative ? -1 : 1);
    return true;
}

std::string FormatSecondsUs(std::int64_t timeUs) {
    const bool negative = timeUs < 0;
    const unsigned long long magnitude = negative ? 0ull - static_cast<unsigned long long>(timeUs)
                                                  : static_cast<unsigned long long>(timeUs);
    char text[40];
    std::snprintf(text, sizeof(text), "%s%llu.%06llu", negative ? "-" : "", magnitude / 1000000,
                  magnitude % 1000000);
    return text;
}

bool ParseHex32(std::string_view text, std::uint32_t& value) {
    if (text.empty() || text.size() > 8) {
        return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return error == std::errc() && end == text.data() + text.size();
}

bool ParseDecimal(std::string_view text, std::uint32_t& value, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits || !AllDigits(text)) {
        return false;
    }
    std::from_chars(text.data(), text.data() + text.size(), value);
    return true;
}

std::string FormatIdentifier(std::uint32_t id, bool extended) {
    char text[16];
    std::snprintf(text, sizeof(text), extended ? "%08X" : "%03X", id);
    return text;
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

std::string_view IdentifierProblem(std::uint32_t id, bool extended) {
    if (!extended && id > 0x7FFu) {
        return "a standard identifier above 7FF";
    }
    if (extended && id > 0x1FFFFFFFu) {
        return "an extended identifier above 1FFFFFFF";
    }
    return {};
}

std::string FrameProblem(const protocol::TimedFrame& frame) {
    if (frame.channel != 0 && frame.channel != 1) {
        return "channel " + std::to_string(frame.channel) + " is neither CAN1 nor CAN2";
    }
    if (frame.length > 8) {
        return "a length above 8";
    }
    if (frame.timeUs < 0) {
        return "a time before 1970";
    }
    // Built only when there is something to say: asked for every frame written.
    const std::string_view wrong = IdentifierProblem(frame.id, frame.extended);
    return wrong.empty() ? std::string() : std::string(wrong);
}

}  // namespace quillon::canlog
