// Windows has no backend of its own: an adapter there is reached through the
// library that came with it (dll:) or through Brindle.
#include "platform/kelvix/PlatformBackends.hpp"

namespace kelvix {

void AddPlatformBackends(std::map<std::string, AdapterFactory>&) {}

void AddPlatformListers(std::map<std::string, InterfaceLister>&) {}

}  // namespace kelvix
