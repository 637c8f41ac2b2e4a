// The "brindle" backend's own options, taken out of its spec before the rest
// goes to the bus behind the adapter (the "sim" backend's options):
//   tx-queue=N       frames the adapter's transmit queue holds (1..4096,
//                    default 32)
//   queue-wait-ms=N  how long a transmit waits for room in a full queue
//                    before it returns the count accepted (default 1000)
//   tx-paused        the adapter never gets onto the bus: its queue fills
//                    and stays full (to try what a blocked bus does)
// Example: "brindle:tx-queue=8,queue-wait-ms=50,bus=bench,nodevice".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brindle {

struct BrindleOptions {
    std::size_t transmitQueueFrames = 32;
    std::uint32_t queueWaitMs = 1000;
    bool transmitPaused = false;
    /// Everything else, in order, for the bus behind the adapter.
    std::string busOptions;
};

/// Parses `text`; nothing, and `error` naming the item, for a bad value.
std::optional<BrindleOptions> ParseBrindleOptions(std::string_view text, std::string& error);

}  // namespace brindle
