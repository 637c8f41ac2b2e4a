#include "bittiming/TimingInput.hpp"

#include <cmath>
#include <cstdlib>

namespace quillon::bittiming {
namespace {

// A number and nothing else, times `scale`; none for other text.
std::optional<double> ParseNumber(const std::string& text, double scale) {
    if (text.empty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value * scale;
}

}  // namespace

std::optional<double> ParseRate(std::string text) {
    double scale = 1;
    if (!text.empty() && (text.back() == 'k' || text.back() == 'K')) {
        scale = 1e3;
        text.pop_back();
    } else if (!text.empty() && text.back() == 'M') {
        scale = 1e6;
        text.pop_back();
    }
    const auto rate = ParseNumber(text, scale);
    return rate && *rate >= 1 ? rate : std::nullopt;
}

std::optional<double> ParseSamplePoint(std::string text) {
    if (!text.empty() && text.back() == '%') {
        text.pop_back();
    }
    const auto point = ParseNumber(text, 0.01);
    return point && *point > 0 && *point < 1 ? point : std::nullopt;
}

std::optional<std::uint8_t> ParseRegister(std::string text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.erase(0, 2);
    }
    if (text.empty() || text.size() > 2 ||
        text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(std::strtoul(text.c_str(), nullptr, 16));
}

}  // namespace quillon::bittiming
