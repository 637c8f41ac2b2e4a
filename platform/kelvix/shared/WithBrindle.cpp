// The brindle backend inside the shared adapter library, where the build has it.
#include "driver/backend/BrindleBackend.hpp"

namespace {

[[maybe_unused]] const bool REGISTERED = (brindle::RegisterBrindleBackend(), true);

}  // namespace
