// Hooks the simulated device into the adapter library's "sim" backend, so
// that opening the adapter with KELVIX_ADAPTER=sim:OPTIONS puts a device on
// the adapter's private bus.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "sim/SimulatedDevice.hpp"

namespace quillon::sim {

/// Installs the device factory of the "sim" backend (idempotent).
void RegisterSimDevice();
/// Receives the warnings of devices the backend creates (a damaged or foreign
/// state file); by default they go to standard error. An empty function
/// restores the default.
void SetSimWarningSink(std::function<void(const std::string&)> sink);

/// The device the backend created last, while its adapter is open; null otherwise.
std::shared_ptr<SimulatedDevice> LastSimulatedDevice();

}  // namespace quillon::sim
