// What the device model did with a stream of frames: counts per channel and per
// rule, the frames it would have sent but could not (with the reason), and when
// recording or forwarding switched on and off.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace quillon::behaviour {

enum class DropReason : std::size_t {
    ChannelOff,         ///< the channel it would go out on has `enable` 0
    ListenOnly,         ///< the channel it would go out on only listens
    IdentifierTooWide,  ///< a forwarded identifier does not fit its frame format
};
inline constexpr std::size_t DROP_REASON_COUNT = 3;

/// "channel off", "listen-only", "identifier too wide for its format".
std::string_view DropReasonText(DropReason reason);

/// Frames coming in on one channel.
struct ChannelCounts {
    std::uint64_t accepted = 0;    ///< passed the acceptance filters
    std::uint64_t rejected = 0;    ///< stopped by the acceptance filters
    std::uint64_t channelOff = 0;  ///< arrived while the channel has `enable` 0

    bool operator==(const ChannelCounts&) const = default;
};

/// One rule (or one direct copy, or one replay entry).
struct RuleCounts {
    std::uint64_t matched = 0;  ///< frames the rule matched (replay: frames of its channels)
    std::uint64_t passed = 0;   ///< frames it recorded, forwarded or sent
    std::array<std::uint64_t, DROP_REASON_COUNT> dropped{};
    std::uint64_t missingFile = 0;  ///< replay only: plays skipped for a missing file

    void Drop(DropReason reason) { ++dropped[static_cast<std::size_t>(reason)]; }
    bool operator==(const RuleCounts&) const = default;
};

/// Recording on a channel, or forwarding by rules in one direction, switched.
struct SwitchEvent {
    std::int64_t timeUs = 0;
    int channel = 0;  ///< the recording channel, or the channel a forwarded frame comes from
    bool on = false;
    std::size_t rule = 0;  ///< index of the rule in its list

    bool operator==(const SwitchEvent&) const = default;
};

/// The switches seen, the first MAX_KEPT_SWITCHES kept and the rest counted.
struct SwitchLog {
    std::vector<SwitchEvent> kept;
    std::uint64_t notKept = 0;

    void Add(const SwitchEvent& event);
};

struct ModelReport {
    std::array<ChannelCounts, 2> channels{};
    std::array<std::vector<RuleCounts>, 2> recordingRules;  ///< per channel, the rules read
    std::array<std::uint64_t, 2> recorded{};                ///< frames recorded per channel
    std::vector<RuleCounts> bridgeRules;
    std::array<RuleCounts, 2> directCopies{};  ///< "CAN1全部直接转发", "CAN2全部直接转发"
    std::vector<RuleCounts> replayEntries;
    SwitchLog switches;
};

}  // namespace quillon::behaviour
