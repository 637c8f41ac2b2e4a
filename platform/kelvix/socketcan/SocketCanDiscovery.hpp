// What the socketcan backend can reach on this system.
#pragma once

#include <vector>

#include "platform/kelvix/InterfaceListing.hpp"
#include "platform/kelvix/socketcan/CanSocketLayer.hpp"

namespace kelvix {

/// One listing per CAN interface, or a single unusable listing saying why
/// there is none (no CAN sockets, no CAN interfaces).
std::vector<InterfaceListing> ListSocketCanInterfaces(CanSocketLayer& layer);
/// The same on the kernel's sockets.
std::vector<InterfaceListing> ListSocketCanInterfaces();

}  // namespace kelvix
