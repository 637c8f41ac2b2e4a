// What a channel's basic settings and acceptance filters let in and out.
#pragma once

#include <optional>
#include <string>

#include "behaviour/ModelChoices.hpp"
#include "behaviour/ModelReport.hpp"
#include "protocol/CanPara.hpp"
#include "protocol/HardFilterPara.hpp"
#include "protocol/TimedFrame.hpp"

namespace quillon::behaviour {

// Inline: asked for every frame that comes in or goes out.

/// True when the channel takes frames in (`enable` not 0).
inline bool ChannelOn(const protocol::CanPara& channel) {
    return channel.enable != CHANNEL_OFF;
}

/// Why a frame cannot go out on the channel (off, or listen-only); nothing when it can.
inline std::optional<DropReason> OutputBlocked(const protocol::CanPara& channel) {
    if (!ChannelOn(channel)) {
        return DropReason::ChannelOff;
    }
    if (channel.workMode == WORK_MODE_LISTEN_ONLY) {
        return DropReason::ListenOnly;
    }
    return std::nullopt;
}

/// True when `frame` passes the acceptance filters: filtering off, or one of the
/// first `filterCount` (at most 14) filters has the frame's format and
/// ((id ^ matchValue) & matchMask) == 0.
bool Accepts(const protocol::HardFilterPara& filters, const protocol::TimedFrame& frame);

/// Why the device would refuse these filters, naming the channel ("CAN1"):
/// filtering on with no filter. Empty when they can be used.
std::string AcceptanceProblem(const protocol::HardFilterPara& filters, int channel);

/// "CAN1" or "CAN2" for channel 0 or 1.
std::string ChannelName(int channel);

}  // namespace quillon::behaviour
