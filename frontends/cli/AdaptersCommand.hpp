// quillon-cli adapters: the backends this build has and, for each, the
// interfaces it can reach now, or why it reaches none. Only what was tried
// and opens shows its adapter spec; the rest says "unavailable" or "untested", with
// the reason. Example output:
//   sim        sim                            simulated device in this process
//   socketcan  unavailable                    raw CAN sockets: this system has no raw CAN sockets
//   (...) qcanbus    qcanbus:virtualcan:can0        Qt Virtual CAN bus dll        untested any
//   adapter library ... (dll:PATH): needs the ...
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
