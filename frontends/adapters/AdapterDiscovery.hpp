// What adapters this machine can reach: the backends this build has and, for
// each, the interfaces it can reach now, or why it reaches none. The one list
// behind `quillon-cli adapters` and the window's adapter dialog.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/kelvix/InterfaceListing.hpp"

namespace quillon::adapters {

/// Where the list comes from; tests pass their own.
struct AdapterDiscovery {
    /// Names of the registered backends, sorted.
    std::function<std::vector<std::string>()> backends;
    /// Interface listers by backend name; a backend without one is listed by name only.
    std::map<std::string, std::function<std::vector<kelvix::InterfaceListing>()>> listers;
};

/// The adapter library's registry with the listers this build has.
AdapterDiscovery DefaultAdapterDiscovery();

/// Every listing, backend by backend in name order.
std::vector<kelvix::InterfaceListing> CollectListings(const AdapterDiscovery& discovery);

/// The backends a user may choose instead of `refused`, for a message:
/// "brindle, qcanbus, sim or socketcan"; empty when there is none.
std::string OtherBackends(const std::vector<std::string>& backends, std::string_view refused);

}  // namespace quillon::adapters
