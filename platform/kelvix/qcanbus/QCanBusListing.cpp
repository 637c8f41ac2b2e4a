#include "platform/kelvix/qcanbus/QCanBusListing.hpp"

namespace kelvix {
namespace {

// What failed, in Qt's words where it gave any, else the plugin's own.
std::string Problem(const PluginAnswer& answer) {
    return answer.error.empty() ? answer.logged : answer.error;
}

std::string PluginText(const std::string& plugin) {
    return "Qt SerialBus plugin " + plugin;
}

InterfaceListing Tried(const PluginProbe& probe, const std::string& plugin,
                       const PluginDevice& device) {
    std::string description =
        device.description.empty() ? PluginText(plugin) + " " + device.name : device.description;
    std::string problem = Problem(probe.create(plugin, device.name));
    if (!problem.empty()) {
        return {"qcanbus", "", std::move(description), std::move(problem)};
    }
    return {"qcanbus", "qcanbus:" + plugin + ":" + device.name, std::move(description), ""};
}

}  // namespace

std::vector<InterfaceListing> ListPluginInterfaces(const PluginProbe& probe) {
    std::vector<InterfaceListing> listings;
    for (const std::string& plugin : probe.plugins()) {
        const PluginDevices seen = probe.devices(plugin);
        if (!seen.answer.error.empty() || seen.devices.empty()) {
            std::string problem = Problem(seen.answer);
            listings.push_back(
                {"qcanbus", "", PluginText(plugin),
                 problem.empty() ? "the plugin sees no device" : std::move(problem)});
            continue;
        }
        for (const PluginDevice& device : seen.devices) {
            listings.push_back(Tried(probe, plugin, device));
        }
    }
    return listings;
}

}  // namespace kelvix
