#include "platform/kelvix/qcanbus/FrameQueue.hpp"

namespace kelvix {

bool FrameQueue::Push(const CanFrameRecord& frame) {
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return false;
        }
        if (frames_.size() >= capacity_) {
            ++lost_;
            return false;
        }
        frames_.push_back(frame);
    }
    arrived_.notify_all();
    return true;
}

std::size_t FrameQueue::Take(std::span<CanFrameRecord> out, std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, wait, [this] { return closed_ || !frames_.empty(); });
    std::size_t count = 0;
    while (count < out.size() && !frames_.empty()) {
        out[count++] = frames_.front();
        frames_.pop_front();
    }
    return count;
}

void FrameQueue::Close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        frames_.clear();
    }
    arrived_.notify_all();
}

void FrameQueue::Reopen() {
    std::lock_guard lock(mutex_);
    closed_ = false;
    frames_.clear();
}

std::uint64_t FrameQueue::Lost() const {
    std::lock_guard lock(mutex_);
    return lost_;
}

}  // namespace kelvix
