#include "frontends/cli/AdaptersCommand.hpp"

#include <iomanip>
#include <nlohmann/json.hpp>

#include "frontends/cli/ExitCode.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/socketcan/SocketCanDiscovery.hpp"
#ifdef QUILLON_HAVE_QCANBUS
#include "platform/kelvix/qcanbus/QCanBusBackend.hpp"
#endif

namespace quillon::cli {
namespace {

constexpr int BACKEND_WIDTH = 10;
constexpr int SPEC_WIDTH = 30;

std::vector<kelvix::InterfaceListing> ListSim() {
    return {{"sim", "sim", "simulated device in this process", ""}};
}

void PrintLine(const kelvix::InterfaceListing& listing, std::ostream& out) {
    out << std::left << std::setw(BACKEND_WIDTH) << listing.backend << ' ' << std::setw(SPEC_WIDTH)
        << (listing.Available() ? listing.spec : "unavailable") << ' ' << listing.description;
    if (!listing.Available()) {
        out << ": " << listing.unavailableReason;
    }
    out << std::right << '\n';
}

nlohmann::ordered_json ToJson(const kelvix::InterfaceListing& listing) {
    return {{"backend", listing.backend},
            {"spec", listing.spec},
            {"description", listing.description},
            {"available", listing.Available()},
            {"reason", listing.unavailableReason}};
}

}  // namespace

AdapterDiscovery DefaultAdapterDiscovery() {
    AdapterDiscovery discovery;
    discovery.backends = kelvix::RegisteredBackends;
    discovery.listers["sim"] = ListSim;
    discovery.listers["socketcan"] = [] { return kelvix::ListSocketCanInterfaces(); };
#ifdef QUILLON_HAVE_QCANBUS
    discovery.listers["qcanbus"] = kelvix::ListQCanBusInterfaces;
#endif
    return discovery;
}

std::vector<kelvix::InterfaceListing> CollectListings(const AdapterDiscovery& discovery) {
    std::vector<kelvix::InterfaceListing> listings;
    for (const std::string& backend : discovery.backends()) {
        const auto lister = discovery.listers.find(backend);
        if (lister == discovery.listers.end()) {
            listings.push_back({backend, backend, "this backend lists no interfaces", ""});
            continue;
        }
        for (auto& listing : lister->second()) {
            listings.push_back(std::move(listing));
        }
    }
    return listings;
}

int RunAdapters(const AdapterDiscovery& discovery, bool json, std::ostream& out) {
    const auto listings = CollectListings(discovery);
    if (json) {
        auto array = nlohmann::ordered_json::array();
        for (const auto& listing : listings) {
            array.push_back(ToJson(listing));
        }
        out << array.dump(2) << '\n';
        return EXIT_OK;
    }
    for (const auto& listing : listings) {
        PrintLine(listing, out);
    }
    return EXIT_OK;
}

}  // namespace quillon::cli
