// Counts pool allocations by tag so tests can see that framework memory is
// released with its parent object.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>

#include "platform/byteorder/ByteOrder.hpp"

namespace kmdf {

enum class POOL_TYPE { NonPagedPool, PagedPool, NonPagedPoolNx };

/// A pool tag as it appears in memory: 'USBS' is the bytes 55 53 42 53.
constexpr std::uint32_t PoolTag(const char (&text)[5]) {
    const std::array<std::uint8_t, 4> bytes = {
        static_cast<std::uint8_t>(text[0]), static_cast<std::uint8_t>(text[1]),
        static_cast<std::uint8_t>(text[2]), static_cast<std::uint8_t>(text[3])};
    return quillon::byteorder::GetU32LE(bytes, 0);
}

struct PoolUsage {
    std::size_t liveAllocations = 0;
    std::size_t liveBytes = 0;
    std::size_t totalAllocations = 0;
};

class PoolTracker {
  public:
    void Allocated(std::uint32_t tag, std::size_t bytes);
    void Released(std::uint32_t tag, std::size_t bytes);
    PoolUsage Usage(std::uint32_t tag) const;

  private:
    mutable std::mutex mutex_;
    std::map<std::uint32_t, PoolUsage> usage_;
};

}  // namespace kmdf
