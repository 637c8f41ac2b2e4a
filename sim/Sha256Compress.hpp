// The SHA-256 block function, in portable code and, where the processor has
// them, with its SHA instructions. Sha256 picks one once per process; both
// are here so the tests can hold them against each other.
#pragma once

#include <array>
#include <cstdint>

namespace quillon::sim {

using Sha256State = std::array<std::uint32_t, 8>;

/// Folds one 64-byte block into `state`.
void CompressPortable(Sha256State& state, const std::uint8_t* block);

/// True when this build and this processor can run CompressWithShaInstructions.
bool ShaInstructionsUsable();
/// The same as CompressPortable with the processor's SHA instructions; call
/// only when ShaInstructionsUsable().
void CompressWithShaInstructions(Sha256State& state, const std::uint8_t* block);

}  // namespace quillon::sim
