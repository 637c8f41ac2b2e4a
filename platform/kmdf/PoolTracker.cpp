#include "platform/kmdf/PoolTracker.hpp"

namespace kmdf {

void PoolTracker::Allocated(std::uint32_t tag, std::size_t bytes) {
    std::lock_guard lock(mutex_);
    PoolUsage& usage = usage_[tag];
    ++usage.liveAllocations;
    ++usage.totalAllocations;
    usage.liveBytes += bytes;
}

void PoolTracker::Released(std::uint32_t tag, std::size_t bytes) {
    std::lock_guard lock(mutex_);
    PoolUsage& usage = usage_[tag];
    --usage.liveAllocations;
    usage.liveBytes -= bytes;
}

PoolUsage PoolTracker::Usage(std::uint32_t tag) const {
    std::lock_guard lock(mutex_);
    auto it = usage_.find(tag);
    return it == usage_.end() ? PoolUsage{} : it->second;
}

}  // namespace kmdf
