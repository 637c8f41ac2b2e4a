// Backends that exist only on some operating systems (socketcan on Linux).
// Each platform's build adds its own definition; the registry calls it once.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/InterfaceListing.hpp"

namespace kelvix {

/// Adds this platform's own backends to `factories`.
void AddPlatformBackends(std::map<std::string, AdapterFactory>& factories);

using InterfaceLister = std::function<std::vector<InterfaceListing>()>;
/// Adds, by backend name, what lists the interfaces this platform's backends reach.
void AddPlatformListers(std::map<std::string, InterfaceLister>& listers);

}  // namespace kelvix
