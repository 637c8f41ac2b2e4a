// What a person types for the calculator, read the same way by the command
// line and the calculator's window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillon::bittiming {

/// "500000", "500k", "1M" in bit/s: at least one bit per second; none for other text.
std::optional<double> ParseRate(std::string text);

/// "87.5" or "87.5%" as a fraction strictly between 0 and 1; none for other text.
std::optional<double> ParseSamplePoint(std::string text);

/// One or two hex digits, with or without "0x", as the page's BTR boxes take them.
std::optional<std::uint8_t> ParseRegister(std::string text);

}  // namespace quillon::bittiming
