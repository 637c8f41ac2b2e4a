#include "platform/kmdf/WdfMemory.hpp"

#include "platform/kmdf/Kernel.hpp"

namespace kmdf {

WdfMemory::WdfMemory(std::uint32_t tag, std::size_t size)
    : tag_(tag), size_(size), storage_((size + 7) / 8, 0) {
    Kernel::Current().Pool().Allocated(tag_, size_);
}

WdfMemory::~WdfMemory() {
    DeleteChildren();
    Kernel::Current().Pool().Released(tag_, size_);
}

NTSTATUS WdfMemoryCreate(const WDF_OBJECT_ATTRIBUTES* attributes, POOL_TYPE, ULONG poolTag,
                         std::size_t size, WDFMEMORY* memory, PVOID* buffer) {
    *memory = nullptr;
    if (attributes == nullptr || attributes->ParentObject == nullptr || size == 0) {
        return STATUS_INVALID_PARAMETER;
    }
    if (Kernel::Current().Faults().ShouldFail(FaultPoint::PoolAllocation)) {
        return STATUS_INSUFFICIENT_RESOURCES;
    }
    *memory = WdfCreateObject<WdfMemory>(attributes, nullptr, poolTag, size);
    if (buffer != nullptr) {
        *buffer = (*memory)->Buffer();
    }
    return STATUS_SUCCESS;
}

PVOID WdfMemoryGetBuffer(WDFMEMORY memory, std::size_t* bufferSize) {
    if (bufferSize != nullptr) {
        *bufferSize = memory->Size();
    }
    return memory->Buffer();
}

}  // namespace kmdf
