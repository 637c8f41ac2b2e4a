#pragma once

#include <cstddef>

namespace quillon::protocol {

// Table capacities fixed by the record layouts.
inline constexpr std::size_t MAX_CAN_FILTERS = 20;   // recording filters per CAN channel
inline constexpr std::size_t MAX_HARD_FILTERS = 14;  // controller acceptance filters per channel
inline constexpr std::size_t MAX_BRIDGE_RULES = 10;
inline constexpr std::size_t MAX_REPLAY_RULES = 10;

}  // namespace quillon::protocol
