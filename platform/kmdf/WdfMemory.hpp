// Framework memory: a pool allocation owned by a parent object.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/kmdf/PoolTracker.hpp"
#include "platform/kmdf/WdfObject.hpp"

namespace kmdf {

class WdfMemory final : public WdfObject {
  public:
    WdfMemory(std::uint32_t tag, std::size_t size);
    ~WdfMemory() override;

    void* Buffer() { return storage_.data(); }
    std::size_t Size() const { return size_; }
    std::uint32_t Tag() const { return tag_; }

  private:
    std::uint32_t tag_;
    std::size_t size_;
    // 64-bit cells keep the buffer aligned for the records placed in it.
    std::vector<std::uint64_t> storage_;
};

/// Allocates `size` zeroed bytes tagged `poolTag` under the attributes'
/// parent (required). STATUS_INSUFFICIENT_RESOURCES when no memory is left.
NTSTATUS WdfMemoryCreate(const WDF_OBJECT_ATTRIBUTES* attributes, POOL_TYPE poolType, ULONG poolTag,
                         std::size_t size, WDFMEMORY* memory, PVOID* buffer);
PVOID WdfMemoryGetBuffer(WDFMEMORY memory, std::size_t* bufferSize);

}  // namespace kmdf
