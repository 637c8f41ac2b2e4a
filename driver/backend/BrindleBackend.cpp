#include "driver/backend/BrindleBackend.hpp"

#include "driver/backend/BrindleAdapter.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"

namespace brindle {

void RegisterBrindleBackend() {
    kelvix::RegisterBackend("brindle",
                            [](const kelvix::AdapterSpec& spec, std::uint32_t,
                               std::string&) -> std::unique_ptr<kelvix::Adapter> {
                                return std::make_unique<BrindleAdapter>(spec.options);
                            });
}

}  // namespace brindle
