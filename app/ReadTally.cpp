#include "app/ReadTally.hpp"

#include <algorithm>

#include "protocol/Capacities.hpp"
#include "protocol/IdentityFrames.hpp"
#include "protocol/ParameterFrames.hpp"

namespace quillon::app {
namespace {

using namespace quillon::protocol;

constexpr std::uint32_t FIRST_FILTER_ID = ID_CHANNEL_FILTERS;
constexpr std::uint32_t IDENTITY_LAST_ID = ID_SYSTEM;

std::string ChannelName(std::size_t index) {
    return index == 0 ? "CAN1" : "CAN2";
}

std::string Announced(std::size_t entry, std::size_t count) {
    return " " + std::to_string(entry) + " (of " + std::to_string(count) + " announced)";
}

// True when every one of `parts` identifiers of entry `k` arrived.
template <std::size_t N>
bool Whole(const std::bitset<N>& seen, std::size_t k, std::size_t stride, std::size_t parts) {
    for (std::size_t p = 0; p < parts; ++p) {
        if (!seen[k * stride + p]) {
            return false;
        }
    }
    return true;
}

}  // namespace

void ReadTally::Reset() {
    *this = ReadTally{};
}

void ReadTally::Add(std::uint32_t channel, const CanFrameRecord& frame) {
    if (frame.ExternFlag != 0) {
        AddExtended(channels_.at(channel == 0 ? 0 : 1), frame);
    } else if (frame.ID >= ID_SERIAL_LOW && frame.ID <= IDENTITY_LAST_ID) {
        identity_.set(frame.ID);
    }
}

void ReadTally::AddExtended(Channel& channel, const CanFrameRecord& frame) {
    const std::uint32_t id = frame.ID;
    if (id == ID_CHANNEL || id == ID_CHANNEL + 1) {
        channel.header.set(id - ID_CHANNEL);
        if (id == ID_CHANNEL + 1) {
            channel.filterCount = AnnouncedCount(frame);
        }
    } else if (id >= FIRST_FILTER_ID && id < FIRST_FILTER_ID + FILTER_FRAMES) {
        channel.filters.set(id - FIRST_FILTER_ID);
    } else if (id == ID_HARD_FILTER) {
        channel.header.set(2);
        channel.hardFilterCount = AnnouncedCount(frame);
    } else if (id > ID_HARD_FILTER && id <= ID_HARD_FILTER + HARD_FILTER_FRAMES) {
        channel.hardFilters.set(id - ID_HARD_FILTER - 1);
    } else if (id == ID_BRIDGE) {
        bridgeCount_ = AnnouncedCount(frame);
    } else if (id >= ID_BRIDGE_RULES && id < ID_BRIDGE_RULES + BRIDGE_FRAMES) {
        bridgeParts_.set(id - ID_BRIDGE_RULES);
    } else if (id == ID_REPLAY) {
        replayCount_ = AnnouncedCount(frame);
    } else if (id >= ID_REPLAY_RULES && id < ID_REPLAY_RULES + REPLAY_FRAMES) {
        replayParts_.set(id - ID_REPLAY_RULES);
    }
}

std::vector<std::string> ReadTally::Missing() const {
    std::vector<std::string> missing;
    for (std::size_t index = 0; index < channels_.size(); ++index) {
        MissingOfChannel(index, missing);
    }
    MissingOfTables(missing);
    return missing;
}

std::vector<std::string> ReadTally::NotReported() const {
    std::vector<std::string> absent;
    for (std::uint32_t id = ID_SERIAL_LOW; id <= IDENTITY_LAST_ID; ++id) {
        if (!identity_[id]) {
            absent.push_back("identity frame " + std::to_string(id));
        }
    }
    const char* headers[] = {"channel frame 1", "channel frame 2", "advanced filter header"};
    for (std::size_t index = 0; index < channels_.size(); ++index) {
        for (std::size_t h = 0; h < channels_[index].header.size(); ++h) {
            if (!channels_[index].header[h]) {
                absent.push_back(ChannelName(index) + " " + headers[h]);
            }
        }
    }
    if (!bridgeCount_) {
        absent.push_back("bridge header");
    }
    if (!replayCount_) {
        absent.push_back("replay header");
    }
    return absent;
}

void ReadTally::MissingOfChannel(std::size_t index, std::vector<std::string>& missing) const {
    const Channel& c = channels_[index];
    const std::string name = ChannelName(index);
    const std::size_t filters = std::min<std::size_t>(c.filterCount.value_or(0), MAX_CAN_FILTERS);
    for (std::size_t k = 0; k < filters; ++k) {
        if (!Whole(c.filters, k, 2, 2)) {
            missing.push_back(name + " recording filter" + Announced(k, filters));
        }
    }
    const std::size_t hard = std::min<std::size_t>(c.hardFilterCount.value_or(0), MAX_HARD_FILTERS);
    for (std::size_t k = 0; k < hard; ++k) {
        if (!Whole(c.hardFilters, k, 2, 2)) {
            missing.push_back(name + " advanced filter" + Announced(k, hard));
        }
    }
}

void ReadTally::MissingOfTables(std::vector<std::string>& missing) const {
    const std::size_t rules = std::min<std::size_t>(bridgeCount_.value_or(0), MAX_BRIDGE_RULES);
    for (std::size_t k = 0; k < rules; ++k) {
        if (!Whole(bridgeParts_, k, BRIDGE_RULE_STRIDE, BRIDGE_RULE_FRAMES)) {
            missing.push_back("bridge rule" + Announced(k, rules));
        }
    }
    const std::size_t files = std::min<std::size_t>(replayCount_.value_or(0), MAX_REPLAY_RULES);
    for (std::size_t k = 0; k < files; ++k) {
        if (!Whole(replayParts_, k, REPLAY_RULE_STRIDE, REPLAY_RULE_FRAMES)) {
            missing.push_back("replay file" + Announced(k, files));
        }
    }
}

}  // namespace quillon::app
