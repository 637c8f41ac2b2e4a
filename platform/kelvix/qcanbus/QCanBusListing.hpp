// The "qcanbus" lines of the list of reachable adapters, decided from what
// each Qt SerialBus plugin answers. A device a plugin lists is offered only
// once it was created: some plugins list devices whose vendor library is
// missing, and only creating one loads it. Connecting is left to the open,
// as it may reach hardware or start a bus server. No Qt here, so the rules
// are tested with a scripted probe.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/kelvix/InterfaceListing.hpp"

namespace kelvix {

/// An answer of a plugin: `error` is what Qt reported, `logged` what the
/// plugin logged meanwhile (its warnings name a missing library where the
/// error may be empty).
struct PluginAnswer {
    std::string error;
    std::string logged;
};

struct PluginDevice {
    std::string name;
    std::string description;  ///< "" when the plugin gives none
};

struct PluginDevices {
    std::vector<PluginDevice> devices;
    PluginAnswer answer;
};

/// What the listing asks of Qt SerialBus.
struct PluginProbe {
    std::function<std::vector<std::string>()> plugins;
    std::function<PluginDevices(const std::string& plugin)> devices;
    /// Creates the device and deletes it again.
    std::function<PluginAnswer(const std::string& plugin, const std::string& device)> create;
};

/// Every plugin with the devices it sees and could create, in the plugins'
/// order; a plugin with none gets one unavailable line that says why.
std::vector<InterfaceListing> ListPluginInterfaces(const PluginProbe& probe);

}  // namespace kelvix
