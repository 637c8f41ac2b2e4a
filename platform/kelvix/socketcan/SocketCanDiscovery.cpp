#include "platform/kelvix/socketcan/SocketCanDiscovery.hpp"

#include "platform/kelvix/socketcan/LinuxCanSocketLayer.hpp"

namespace kelvix {

std::vector<InterfaceListing> ListSocketCanInterfaces(CanSocketLayer& layer) {
    if (std::string missing = layer.Availability(); !missing.empty()) {
        return {InterfaceListing{"socketcan", "", "raw CAN sockets", std::move(missing)}};
    }
    const std::vector<std::string> names = layer.CanInterfaces();
    if (names.empty()) {
        return {InterfaceListing{"socketcan", "", "raw CAN sockets",
                                 "no CAN network interface is up or configured "
                                 "(none of type CAN in /sys/class/net)"}};
    }
    std::vector<InterfaceListing> listings;
    for (const std::string& name : names) {
        listings.push_back({"socketcan", "socketcan:" + name, "CAN network interface " + name, ""});
    }
    return listings;
}

std::vector<InterfaceListing> ListSocketCanInterfaces() {
    LinuxCanSocketLayer layer;
    return ListSocketCanInterfaces(layer);
}

}  // namespace kelvix
