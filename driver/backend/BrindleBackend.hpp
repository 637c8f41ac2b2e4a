// Registration of the "brindle" backend with the adapter library, and its
// line in the list of reachable adapters.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/kelvix/InterfaceListing.hpp"

namespace brindle {

/// Registers "brindle" (KELVIX_ADAPTER=brindle[:options]); idempotent.
void RegisterBrindleBackend();

/// Opens an adapter once and closes it: "" when it opened, else why not.
using TrialOpen = std::function<std::string()>;

/// The one "brindle" line: available when `tryOpen` opens an adapter, else
/// unavailable with its reason.
std::vector<kelvix::InterfaceListing> ListBrindleInterfaces(const TrialOpen& tryOpen);
/// The same, trying an adapter with no simulated device behind it, so the
/// trial leaves no device state behind.
std::vector<kelvix::InterfaceListing> ListBrindleInterfaces();

}  // namespace brindle
