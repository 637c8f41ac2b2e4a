#include "frontends/cli/AdaptersCommand.hpp"

#include <iomanip>
#include <nlohmann/json.hpp>

#include "frontends/cli/ExitCode.hpp"

namespace quillon::cli {
namespace {

constexpr int BACKEND_WIDTH = 10;
constexpr int SPEC_WIDTH = 30;

// Scripts read the second column: an adapter spec that was tried and opens, else
// "untested" or "unavailable".
std::string Status(const kelvix::InterfaceListing& listing) {
    if (listing.Available()) {
        return "available";
    }
    return listing.untested ? "untested" : "unavailable";
}

void PrintLine(const kelvix::InterfaceListing& listing, std::ostream& out) {
    out << std::left << std::setw(BACKEND_WIDTH) << listing.backend << ' ' << std::setw(SPEC_WIDTH)
        << (listing.Available() ? listing.spec : Status(listing)) << ' ' << listing.description;
    if (listing.untested && !listing.spec.empty()) {
        out << " (" << listing.spec << ")";
    }
    if (!listing.Available()) {
        out << ": " << listing.unavailableReason;
    }
    out << std::right << '\n';
}

nlohmann::ordered_json ToJson(const kelvix::InterfaceListing& listing) {
    return {{"backend", listing.backend},         {"spec", listing.spec},
            {"description", listing.description}, {"available", listing.Available()},
            {"status", Status(listing)},          {"reason", listing.unavailableReason}};
}

}  // namespace

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
