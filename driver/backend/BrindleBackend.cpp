#include "driver/backend/BrindleBackend.hpp"

#include "driver/backend/BrindleAdapter.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"

namespace brindle {
namespace {

constexpr const char* DESCRIPTION = "Brindle driver with a simulated USB adapter";

}  // namespace

void RegisterBrindleBackend() {
    kelvix::RegisterBackend("brindle",
                            [](const kelvix::AdapterSpec& spec, std::uint32_t,
                               std::string&) -> std::unique_ptr<kelvix::Adapter> {
                                return std::make_unique<BrindleAdapter>(spec.options);
                            });
}

std::vector<kelvix::InterfaceListing> ListBrindleInterfaces(const TrialOpen& tryOpen) {
    std::string problem = tryOpen();
    if (!problem.empty()) {
        return {{"brindle", "", DESCRIPTION, std::move(problem)}};
    }
    return {{"brindle", "brindle", DESCRIPTION, ""}};
}

std::vector<kelvix::InterfaceListing> ListBrindleInterfaces() {
    return ListBrindleInterfaces([] {
        BrindleAdapter adapter("nodevice");
        std::string problem = adapter.Open();
        adapter.Close();
        return problem;
    });
}

}  // namespace brindle
