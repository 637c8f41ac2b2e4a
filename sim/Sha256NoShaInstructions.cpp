// Processors without SHA instructions known to this build.
#include "sim/Sha256Compress.hpp"

namespace quillon::sim {

bool ShaInstructionsUsable() {
    return false;
}

void CompressWithShaInstructions(Sha256State& state, const std::uint8_t* block) {
    CompressPortable(state, block);
}

}  // namespace quillon::sim
