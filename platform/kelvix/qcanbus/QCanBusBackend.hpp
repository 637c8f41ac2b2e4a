// The "qcanbus" backend of the adapter library: any Qt SerialBus plugin
// (virtualcan, peakcan, socketcan, tinycan, passthrucan, ...).
//
// Spec: qcanbus:PLUGIN:IFACE0[,IFACE1][,connect-wait-ms=N][,queue-wait-ms=N]
//   qcanbus:virtualcan:can0,can1     loopback virtual bus shared by processes
//   qcanbus:peakcan:usb0             a PEAK adapter through its vendor library
// This header has no Qt in it, so programs include it freely.
#pragma once

#include <functional>
#include <vector>

#include "platform/kelvix/InterfaceListing.hpp"

namespace kelvix {

/// Adds "qcanbus" to the adapter library's backends (idempotent).
void RegisterQCanBusBackend();

/// For a program's main(): runs `program` on a new thread while the calling
/// thread runs the Qt event loop the devices need, so that Qt's objects and
/// statics are made and destroyed on one thread. Closes every adapter after
/// `program` returns, and returns its result.
int RunWithQtEventLoop(const std::function<int()>& program);

/// Every Qt SerialBus plugin with the devices it sees now and could create
/// (see QCanBusListing.hpp); a plugin that cannot list devices (missing
/// vendor library, no hardware) gets one unusable listing that says why.
/// What the plugins log meanwhile becomes a reason, not terminal output.
std::vector<InterfaceListing> ListQCanBusInterfaces();

}  // namespace kelvix
