// Built in when the Brindle backend is part of the build.
#include "driver/backend/BrindleBackend.hpp"
#include "frontends/adapters/BuildBackends.hpp"

namespace {

[[maybe_unused]] const bool ADDED =
    (quillon::adapters::BuildBackendSet().Add({"brindle", brindle::RegisterBrindleBackend, {}}),
     true);

}  // namespace
