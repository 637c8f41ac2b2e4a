#include "behaviour/ChannelSettings.hpp"

#include <algorithm>

#include "behaviour/ModelChoices.hpp"

namespace quillon::behaviour {

bool Accepts(const protocol::HardFilterPara& filters, const protocol::TimedFrame& frame) {
    if (filters.enable == 0) {
        return true;
    }
    const std::size_t count =
        std::min<std::size_t>(filters.filterCount, protocol::MAX_HARD_FILTERS);
    for (std::size_t i = 0; i < count; ++i) {
        const bool extended = filters.frameFormat[i] != 0;
        if (extended == frame.extended &&
            ((frame.id ^ filters.matchValue[i]) & filters.matchMask[i]) == 0) {
            return true;
        }
    }
    return false;
}

std::string AcceptanceProblem(const protocol::HardFilterPara& filters, int channel) {
    if (filters.enable != 0 && filters.filterCount == 0) {
        return ChannelName(channel) + ": acceptance filtering is on with no filter";
    }
    return {};
}

std::string ChannelName(int channel) {
    return channel == 0 ? "CAN1" : "CAN2";
}

}  // namespace quillon::behaviour
