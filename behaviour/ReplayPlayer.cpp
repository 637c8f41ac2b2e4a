#include "behaviour/ReplayPlayer.hpp"

#include <algorithm>

#include "behaviour/ChannelSettings.hpp"
#include "behaviour/ModelChoices.hpp"

namespace quillon::behaviour {
namespace {

constexpr std::int64_t US_PER_SECOND = 1'000'000;
constexpr std::uint8_t SEND_ALL_ON_CAN1 = 1;
constexpr std::uint8_t SEND_ALL_ON_CAN2 = 2;

std::uint32_t AtLeastOnce(std::uint32_t count) {
    return count == 0 ? 1 : count;
}

}  // namespace

std::string ReplayFileName(const protocol::ReplayRule& rule) {
    const auto end = std::find(rule.fileName.begin(), rule.fileName.end(), std::uint8_t{0});
    return std::string(rule.fileName.begin(), end);
}

ReplayPlayer::ReplayPlayer(const protocol::ReplayPara& replay,
                           const std::array<protocol::CanPara, 2>& channels, FileOpener open,
                           std::int64_t startUs)
    : entries_(replay.rules.begin(),
               replay.rules.begin() +
                   std::min<std::ptrdiff_t>(replay.ruleCount, protocol::MAX_REPLAY_RULES)),
      sendMode_(replay.sendMode),
      channels_(channels),
      open_(std::move(open)),
      rounds_(AtLeastOnce(replay.repeatAll)),
      counts_(entries_.size()),
      playStartUs_(startUs) {}

std::optional<protocol::TimedFrame> ReplayPlayer::Next() {
    while (reader_ || StartPlay()) {
        std::optional<protocol::TimedFrame> frame = reader_->Next();
        if (!frame) {
            EndPlay();
            continue;
        }
        const bool selected = (entries_[entry_].channelMask & (1u << frame->channel)) != 0;
        if (PLAY_LENGTH_COUNTS_ALL_FRAMES || selected) {
            firstUs_ = firstUs_.value_or(frame->timeUs);
            lastUs_ = frame->timeUs;
        }
        if (!selected) {
            continue;
        }
        RuleCounts& counts = counts_[entry_];
        ++counts.matched;
        frame->channel = SendChannel(frame->channel);
        frame->timeUs = playStartUs_ + (frame->timeUs - *firstUs_);
        if (const auto blocked = OutputBlocked(channels_[frame->channel])) {
            counts.Drop(*blocked);
            continue;
        }
        ++counts.passed;
        return frame;
    }
    return std::nullopt;
}

// Opens the file of the current play, skipping entries whose file is missing;
// false when the list is done.
bool ReplayPlayer::StartPlay() {
    while (round_ < rounds_ && entry_ < entries_.size()) {
        reader_ = open_(ReplayFileName(entries_[entry_]));
        if (reader_) {
            firstUs_.reset();
            return true;
        }
        ++counts_[entry_].missingFile;
        AdvanceEntry();
    }
    return false;
}

void ReplayPlayer::EndPlay() {
    reader_.reset();
    if (firstUs_) {
        playStartUs_ += lastUs_ - *firstUs_;
    }
    ++play_;
    if (play_ < AtLeastOnce(entries_[entry_].times)) {
        playStartUs_ += static_cast<std::int64_t>(entries_[entry_].intervalSec) * US_PER_SECOND;
        return;
    }
    AdvanceEntry();
}

void ReplayPlayer::AdvanceEntry() {
    play_ = 0;
    if (++entry_ < entries_.size()) {
        return;
    }
    entry_ = 0;
    ++round_;
}

int ReplayPlayer::SendChannel(int recorded) const {
    switch (sendMode_) {
        case SEND_ALL_ON_CAN1:
            return 0;
        case SEND_ALL_ON_CAN2:
            return 1;
        default:  // 0, and any value the page does not offer: the recorded channel
            return recorded;
    }
}

}  // namespace quillon::behaviour
