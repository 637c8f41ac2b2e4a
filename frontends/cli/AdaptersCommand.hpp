// quillon-cli adapters: the backends this build has and, for each, the
// interfaces it can reach now, or why it reaches none. Example output:
//   sim        sim                        simulated device in this process
//   socketcan  unavailable                raw CAN sockets: this system has no raw CAN sockets (...)
//   qcanbus    qcanbus:virtualcan:can0    Qt Virtual CAN bus
#pragma once

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "platform/kelvix/socketcan/InterfaceListing.hpp"

namespace quillon::cli {

/// Where the command learns what there is; tests pass their own.
struct AdapterDiscovery {
    /// Names of the registered backends, sorted.
    std::function<std::vector<std::string>()> backends;
    /// Interface listers by backend name; a backend without one is listed by name only.
    std::map<std::string, std::function<std::vector<kelvix::InterfaceListing>()>> listers;
};

/// The adapter library's registry with the listers this build has.
AdapterDiscovery DefaultAdapterDiscovery();

/// Every listing, one per line (or a JSON array with --json). Returns EXIT_OK.
int RunAdapters(const AdapterDiscovery& discovery, bool json, std::ostream& out);

/// The listings in the order RunAdapters prints them.
std::vector<kelvix::InterfaceListing> CollectListings(const AdapterDiscovery& discovery);

}  // namespace quillon::cli
