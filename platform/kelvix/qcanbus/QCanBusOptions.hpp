// The options of a "qcanbus:..." adapter spec:
//   PLUGIN:IFACE0[,IFACE1][,connect-wait-ms=N][,queue-wait-ms=N]
// IFACE0 is adapter channel 0 and IFACE1 channel 1; an interface may itself
// hold colons (e.g. a virtualcan URL "tcp://127.0.0.1:35468/can0").
//   connect-wait-ms   how long Open waits for the devices to connect (default 5000)
//   queue-wait-ms     how long a send waits while the plugin's write queue is
//                     full before the frame is refused (default 1000)
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelvix {

struct QCanBusOptions {
    std::string plugin;
    std::array<std::string, 2> interfaces;  ///< "" where the channel has none
    std::uint32_t connectWaitMs = 5000;
    std::uint32_t queueWaitMs = 1000;
};

/// Parses the options; returns nothing and sets `error`, naming the item,
/// when the plugin or every interface is missing, or an item is malformed.
std::optional<QCanBusOptions> ParseQCanBusOptions(std::string_view text, std::string& error);

}  // namespace kelvix
