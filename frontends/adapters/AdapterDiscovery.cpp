#include "frontends/adapters/AdapterDiscovery.hpp"

#include "frontends/adapters/BuildBackends.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/PlatformBackends.hpp"

namespace quillon::adapters {
namespace {

std::vector<kelvix::InterfaceListing> ListSim() {
    return {{"sim", "sim", "simulated device in this process", ""}};
}

std::vector<kelvix::InterfaceListing> ListDll() {
    // Nothing to try until the user names a library.
    return {{"dll", "dll:PATH", "any adapter library exporting the eight VCI_* calls",
             "needs the library's path in place of PATH", true}};
}

}  // namespace

AdapterDiscovery DefaultAdapterDiscovery() {
    AdapterDiscovery discovery;
    discovery.backends = kelvix::RegisteredBackends;
    discovery.listers["sim"] = ListSim;
    discovery.listers["dll"] = ListDll;
    kelvix::AddPlatformListers(discovery.listers);
    for (const OptionalBackend& backend : OptionalBackends()) {
        if (backend.list) {
            discovery.listers[backend.name] = backend.list;
        }
    }
    return discovery;
}

std::vector<kelvix::InterfaceListing> CollectListings(const AdapterDiscovery& discovery) {
    std::vector<kelvix::InterfaceListing> listings;
    for (const std::string& backend : discovery.backends()) {
        const auto lister = discovery.listers.find(backend);
        if (lister == discovery.listers.end()) {
            listings.push_back(
                {backend, backend, "this backend lists no interfaces", "not tried", true});
            continue;
        }
        for (auto& listing : lister->second()) {
            listings.push_back(std::move(listing));
        }
    }
    return listings;
}

std::string OtherBackends(const std::vector<std::string>& backends, std::string_view refused) {
    std::vector<std::string> others;
    for (const std::string& backend : backends) {
        if (backend != refused) {
            others.push_back(backend);
        }
    }
    std::string text;
    for (std::size_t i = 0; i < others.size(); ++i) {
        if (i > 0) {
            text += i + 1 == others.size() ? " or " : ", ";
        }
        text += others[i];
    }
    return text;
}

}  // namespace quillon::adapters
