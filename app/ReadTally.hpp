// What a parameter read brought back against what it announced. A header
// (channel frame 2, the advanced filter header, the bridge and replay
// headers) announces a number of entries; an entry it announced that did not
// arrive was lost on the way. A header, identity frame or channel frame that
// never came announced nothing: devices differ in what they report, so its
// absence is information, not a loss. Entries are numbered from 0, as the
// pages' lists and the trace decoder number them.
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
    /// The entries an arrived header announced that have not arrived, in a
    /// fixed order, e.g. "CAN2 advanced filter 3 (of 5 announced)"; empty
    /// when the read is whole.
    std::vector<std::string> Missing() const;
    /// What the device never reported, in a fixed order, e.g. "identity frame
    /// 4", "CAN2 channel frame 1", "bridge header"; no loss, the device may
    /// simply have nothing of the kind.
    std::vector<std::string> NotReported() const;

  private:
    static constexpr std::size_t FILTER_FRAMES = 40;  ///< channel frames 3..42
    static constexpr std::size_t HARD_FILTER_FRAMES = 28;
    static constexpr std::size_t BRIDGE_FRAMES = 60;
    static constexpr std::size_t REPLAY_FRAMES = 40;

    struct Channel {
        std::bitset<3> header;  ///< channel frames 1, 2 and the advanced filter header
        std::optional<std::uint8_t> filterCount;
        std::bitset<FILTER_FRAMES> filters;
        std::optional<std::uint8_t> hardFilterCount;
        std::bitset<HARD_FILTER_FRAMES> hardFilters;
    };

    void AddExtended(Channel& channel, const CanFrameRecord& frame);
    void MissingOfChannel(std::size_t index, std::vector<std::string>& missing) const;
    void MissingOfTables(std::vector<std::string>& missing) const;

    std::bitset<5> identity_;  ///< standard frames 1..4, on whichever channel
    std::array<Channel, 2> channels_{};
    std::optional<std::uint8_t> bridgeCount_;
    std::bitset<BRIDGE_FRAMES> bridgeParts_;
    std::optional<std::uint8_t> replayCount_;
    std::bitset<REPLAY_FRAMES> replayParts_;
};

}  // namespace quillon::app
