// Options of a "socketcan:..." adapter spec, comma-separated:
//   IFACE               the interface for the next adapter channel: the first
//                       names channel 0, the second channel 1 (at most two)
//   queue-wait-ms=N     how long a frame may wait for room in a full transmit
//                       queue before the send fails (default 1000)
// Examples:
//   socketcan:can0,can1
//   socketcan:vcan0,queue-wait-ms=5000
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelvix {

struct SocketCanOptions {
    /// Interface of each adapter channel; "" where the channel has none.
    std::array<std::string, 2> interfaces;
    std::uint32_t queueWaitMs = 1000;
};

/// Parses the options; returns nothing and sets `error`, naming the item,
/// when an item is malformed, unknown, or there is no interface at all.
std::optional<SocketCanOptions> ParseSocketCanOptions(std::string_view text, std::string& error);

}  // namespace kelvix
