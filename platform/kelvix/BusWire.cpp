#include "platform/kelvix/BusWire.hpp"

#include <algorithm>
#include <limits>

#include "platform/kelvix/CanFrameBits.hpp"

namespace kelvix {

BusWire::BusWire(std::uint32_t bitsPerSecond) : bitrate_(bitsPerSecond) {}

std::uint64_t BusWire::DurationNs(const CanFrameRecord& frame) const {
    return std::uint64_t{MeasureFrame(frame).lengthBits} * 1'000'000'000ull / bitrate_;
}

void BusWire::Queue(SenderId sender, const CanFrameRecord& frame, std::uint64_t readyNs) {
    for (auto& s : senders_) {
        if (s.id == sender) {
            s.frames.push_back(Waiting{frame, readyNs});
            return;
        }
    }
    senders_.push_back(Sender{sender, {Waiting{frame, readyNs}}});
}

std::size_t BusWire::Outstanding(SenderId sender) const {
    const std::size_t onWire = onWire_ && onWire_->sender == sender ? 1 : 0;
    const Sender* own = Find(sender);
    return onWire + (own != nullptr ? own->frames.size() : 0);
}

void BusWire::Run(std::uint64_t nowNs, const std::function<void(const Carried&)>& deliver) {
    for (;;) {
        if (onWire_) {
            if (onWire_->endNs > nowNs) {
                return;
            }
            const Carried done = *onWire_;
            freeAtNs_ = done.endNs;
            onWire_.reset();
            deliver(done);
        }
        if (!StartNext(nowNs)) {
            return;
        }
    }
}

bool BusWire::StartNext(std::uint64_t nowNs) {
    std::uint64_t earliest = std::numeric_limits<std::uint64_t>::max();
    for (const auto& s : senders_) {
        if (!s.frames.empty()) {
            earliest = std::min(earliest, s.frames.front().readyNs);
        }
    }
    const std::uint64_t startNs = std::max(freeAtNs_, earliest);
    if (earliest == std::numeric_limits<std::uint64_t>::max() || startNs > nowNs) {
        return false;
    }
    Sender* winner = Winner(startNs);
    const CanFrameRecord frame = winner->frames.front().frame;
    winner->frames.pop_front();
    onWire_ = Carried{winner->id, frame, startNs + DurationNs(frame)};
    return true;
}

// Among the head frames ready when the wire frees, the lowest rank wins; on
// a tie the sender that joined first.
BusWire::Sender* BusWire::Winner(std::uint64_t startNs) {
    Sender* winner = nullptr;
    std::uint64_t best = std::numeric_limits<std::uint64_t>::max();
    for (auto& s : senders_) {
        if (s.frames.empty() || s.frames.front().readyNs > startNs) {
            continue;
        }
        const std::uint64_t rank = ArbitrationRank(s.frames.front().frame);
        if (winner == nullptr || rank < best) {
            winner = &s;
            best = rank;
        }
    }
    return winner;
}

std::optional<std::uint64_t> BusWire::BusyUntilNs() const {
    if (onWire_) {
        return onWire_->endNs;
    }
    return std::nullopt;
}

std::optional<std::uint64_t> BusWire::DrainedNs(SenderId sender, std::size_t keep) const {
    if (!onWire_) {
        return std::nullopt;
    }
    std::uint64_t atNs = onWire_->endNs;
    if (const Sender* own = Find(sender)) {
        // After the wire's frame, each of ours that ends leaves one fewer outstanding.
        for (std::size_t i = 0; own->frames.size() - i > keep; ++i) {
            atNs += DurationNs(own->frames[i].frame);
        }
    }
    return atNs;
}

const BusWire::Sender* BusWire::Find(SenderId sender) const {
    for (const auto& s : senders_) {
        if (s.id == sender) {
            return &s;
        }
    }
    return nullptr;
}

void BusWire::Forget(SenderId sender) {
    std::erase_if(senders_, [sender](const Sender& s) { return s.id == sender; });
}

}  // namespace kelvix
