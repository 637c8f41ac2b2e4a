// What a parameter read brought back against what it announced: each channel's
// identity frames 1..4, its channel frames 1 and 2 and the recording filters
// frame 2 announces, its advanced filter header and the filters it announces,
// and the bridge and replay headers with the rules they announce (on whichever
// channel). A read whose completion came with less than that lost frames.
//
// Threading: user-interface thread (fed where the frames are decoded).
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/kelvix/Kelvix.h"

namespace quillon::app {

class ReadTally {
  public:
    /// Forgets everything: a new read request went out.
    void Reset();
    /// One deciphered frame received on `channel` (0 or 1).
    void Add(std::uint32_t channel, const CanFrameRecord& frame);
    /// True once both channels have sent their completion: the read is over.
    bool BothChannelsCompleted() const;
    /// What is missing from the channels whose completion arrived, in a fixed
    /// order, e.g. "CAN2 advanced filter 3 (of 5 announced)"; empty when whole.
    std::vector<std::string> Missing() const;

  private:
    static constexpr std::size_t FILTER_FRAMES = 40;  ///< channel frames 3..42
    static constexpr std::size_t HARD_FILTER_FRAMES = 28;
    static constexpr std::size_t BRIDGE_FRAMES = 60;
    static constexpr std::size_t REPLAY_FRAMES = 40;

    struct Channel {
        bool completed = false;
        std::bitset<5> identity;  ///< standard frames 1..4
        std::bitset<3> header;    ///< channel frames 1, 2 and the advanced filter header
        std::optional<std::uint8_t> filterCount;
        std::bitset<FILTER_FRAMES> filters;
        std::optional<std::uint8_t> hardFilterCount;
        std::bitset<HARD_FILTER_FRAMES> hardFilters;
    };

    void AddStandard(Channel& channel, const CanFrameRecord& frame);
    void AddExtended(Channel& channel, const CanFrameRecord& frame);
    void MissingOfChannel(std::size_t index, std::vector<std::string>& missing) const;
    void MissingOfTables(std::vector<std::string>& missing) const;

    std::array<Channel, 2> channels_{};
    std::optional<std::uint8_t> bridgeCount_;
    std::bitset<BRIDGE_FRAMES> bridgeParts_;
    std::optional<std::uint8_t> replayCount_;
    std::bitset<REPLAY_FRAMES> replayParts_;
};

}  // namespace quillon::app
