// Built in when the Brindle backend is part of the build.
#include "driver/backend/BrindleBackend.hpp"
#include "frontends/adapters/BuildBackends.hpp"

namespace {

std::vector<kelvix::InterfaceListing> ListBrindle() {
    return brindle::ListBrindleInterfaces();
}

[[maybe_unused]] const bool ADDED = (quillon::adapters::BuildBackendSet().Add(
                                         {"brindle", brindle::RegisterBrindleBackend, ListBrindle}),
                                     true);

}  // namespace
