// Owns every memory descriptor list of the simulated kernel, so a test can
// prove that each one was freed and that none was misused.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/kmdf/Mdl.hpp"

namespace kmdf {

struct MdlStats {
    std::size_t allocated = 0;
    std::size_t freed = 0;
    std::size_t live = 0;
    /// Frees of lists that were never allocated or were already freed.
    std::size_t invalidFrees = 0;
    /// Partial lists rebuilt while still mapped into system space.
    std::size_t rebuiltWhileMapped = 0;
    /// Partial lists that reached outside their source list.
    std::size_t outOfRange = 0;
};

class MdlRegistry {
  public:
    /// Creates a list for the range; the caller frees it with Free.
    PMDL Allocate(PVOID virtualAddress, ULONG length);
    /// Returns false (and counts it) when `mdl` is not a live list.
    bool Free(PMDL mdl);
    bool IsLive(const MDL* mdl) const;
    void CountRebuiltWhileMapped();
    void CountOutOfRange();
    MdlStats Stats() const;

  private:
    mutable std::mutex mutex_;
    std::unordered_map<const MDL*, std::unique_ptr<MDL>> lists_;
    MdlStats stats_;
};

}  // namespace kmdf
