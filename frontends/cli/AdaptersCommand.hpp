// quillon-cli adapters: the backends this build has and, for each, the
// interfaces it can reach now, or why it reaches none. Example output:
//   sim        sim                        simulated device in this process
//   socketcan  unavailable                raw CAN sockets: this system has no raw CAN sockets (...)
//   qcanbus    qcanbus:virtualcan:can0    Qt Virtual CAN bus
#pragma once

#include <ostream>

#include "frontends/adapters/AdapterDiscovery.hpp"

namespace quillon::cli {

using adapters::AdapterDiscovery;
using adapters::CollectListings;
using adapters::DefaultAdapterDiscovery;

/// Every listing, one per line (or a JSON array with --json). Returns EXIT_OK.
int RunAdapters(const AdapterDiscovery& discovery, bool json, std::ostream& out);

}  // namespace quillon::cli
