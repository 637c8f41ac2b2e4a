#include "platform/kmdf/Mdl.hpp"

#include <cassert>
#include <cstdint>

#include "platform/kmdf/Kernel.hpp"

namespace kmdf {

PMDL IoAllocateMdl(PVOID virtualAddress, ULONG length, BOOLEAN secondaryBuffer, BOOLEAN chargeQuota,
                   PVOID irp) {
    assert(!secondaryBuffer && !chargeQuota && irp == nullptr);
    (void)secondaryBuffer;
    (void)chargeQuota;
    (void)irp;
    Kernel& kernel = Kernel::Current();
    if (kernel.Faults().ShouldFail(FaultPoint::MdlAllocation)) {
        return nullptr;
    }
    return kernel.Mdls().Allocate(virtualAddress, length);
}

void IoBuildPartialMdl(PMDL source, PMDL target, PVOID virtualAddress, ULONG length) {
    MdlRegistry& registry = Kernel::Current().Mdls();
    if ((target->MdlFlags & MDL_PARTIAL_HAS_BEEN_MAPPED) != 0) {
        registry.CountRebuiltWhileMapped();
    }
    const auto begin = reinterpret_cast<std::uintptr_t>(MmGetMdlVirtualAddress(source));
    const auto end = begin + source->ByteCount;
    const auto start = reinterpret_cast<std::uintptr_t>(virtualAddress);
    if (length == 0) {
        length = static_cast<ULONG>(end - start);
    }
    if (start < begin || start + length > end) {
        registry.CountOutOfRange();
        length = 0;
    }
    target->StartVa = reinterpret_cast<PVOID>(start & ~(std::uintptr_t{PAGE_SIZE} - 1));
    target->ByteOffset = static_cast<ULONG>(start & (PAGE_SIZE - 1));
    target->ByteCount = length;
    target->MappedSystemVa = nullptr;
    target->MdlFlags = MDL_PARTIAL | MDL_PAGES_LOCKED;
}

void IoFreeMdl(PMDL mdl) {
    MdlRegistry& registry = Kernel::Current().Mdls();
    // A list that is not live must not be touched; freeing it is only counted.
    if (registry.IsLive(mdl) && (mdl->MdlFlags & MDL_PARTIAL_HAS_BEEN_MAPPED) != 0) {
        MmUnmapLockedPages(mdl->MappedSystemVa, mdl);
    }
    registry.Free(mdl);
}

PVOID MmGetSystemAddressForMdlSafe(PMDL mdl, MM_PAGE_PRIORITY) {
    if ((mdl->MdlFlags & MDL_MAPPED_TO_SYSTEM_VA) == 0) {
        // The simulation shares one address space, so the mapping is the
        // buffer itself; the flags still record that a mapping exists.
        mdl->MappedSystemVa = MmGetMdlVirtualAddress(mdl);
        mdl->MdlFlags |= MDL_MAPPED_TO_SYSTEM_VA;
        if ((mdl->MdlFlags & MDL_PARTIAL) != 0) {
            mdl->MdlFlags |= MDL_PARTIAL_HAS_BEEN_MAPPED;
        }
    }
    return mdl->MappedSystemVa;
}

void MmUnmapLockedPages(PVOID baseAddress, PMDL mdl) {
    assert(baseAddress == mdl->MappedSystemVa);
    (void)baseAddress;
    mdl->MappedSystemVa = nullptr;
    mdl->MdlFlags &= static_cast<USHORT>(~(MDL_MAPPED_TO_SYSTEM_VA | MDL_PARTIAL_HAS_BEEN_MAPPED));
}

}  // namespace kmdf
