// The command line of quillon-devsim.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "sim/DeviceConfig.hpp"

namespace quillon::sim {

struct DevsimOptions {
    std::string bus;  ///< adapter spec of the bus, e.g. qcanbus:virtualcan:can0,can1
    std::uint32_t adapterIndex = 0;
    /// The bridge refuses the device's frames from this one on (1-based); 0 = never.
    std::uint64_t refuseFrom = 0;
    /// Times the device's bus at this many bits per second; 0 = instant.
    std::uint32_t bitrate = 0;
    DeviceConfig device;
    std::string deviceText;  ///< the device options as key=value text, for the banner
};

/// Exit statuses of quillon-devsim.
enum DevsimExit : int {
    DEVSIM_OK = 0,
    DEVSIM_USAGE = 2,
    DEVSIM_NO_BUS = 4,  ///< the bus could not be opened
};

/// Parses the arguments. Returns nothing when the program should end at
/// once, with `status` set (DEVSIM_OK after --help, DEVSIM_USAGE on an error)
/// and the text for the user written to `out` or `err`.
std::optional<DevsimOptions> ParseDevsimOptions(int argc, const char* const* argv,
                                                std::ostream& out, std::ostream& err, int& status);

}  // namespace quillon::sim
