// Memory descriptor lists: how a locked buffer (or a part of it) is described
// to the USB stack without copying it. Every list handed out by
// IoAllocateMdl is tracked by the kernel's MdlRegistry until IoFreeMdl.
#pragma once

#include "platform/kmdf/KernelTypes.hpp"

namespace kmdf {

inline constexpr USHORT MDL_MAPPED_TO_SYSTEM_VA = 0x0001;
inline constexpr USHORT MDL_PAGES_LOCKED = 0x0002;
inline constexpr USHORT MDL_PARTIAL = 0x0010;
inline constexpr USHORT MDL_PARTIAL_HAS_BEEN_MAPPED = 0x0020;

struct MDL {
    USHORT MdlFlags = 0;
    /// System address of the described bytes while mapped, else null.
    PVOID MappedSystemVa = nullptr;
    /// Page-aligned start of the buffer; the bytes begin ByteOffset later.
    PVOID StartVa = nullptr;
    ULONG ByteCount = 0;
    ULONG ByteOffset = 0;
};
using PMDL = MDL*;

enum class MM_PAGE_PRIORITY { LowPagePriority, NormalPagePriority, HighPagePriority };

/// Allocates a list describing `length` bytes at `virtualAddress`. Returns
/// null when no memory is available. Secondary lists and quota charging are
/// not supported and must be false; `irp` must be null.
PMDL IoAllocateMdl(PVOID virtualAddress, ULONG length, BOOLEAN secondaryBuffer, BOOLEAN chargeQuota,
                   PVOID irp);
/// Makes `target` describe `length` bytes at `virtualAddress` inside `source`.
/// The range must lie inside `source`; a zero length means "to the end".
void IoBuildPartialMdl(PMDL source, PMDL target, PVOID virtualAddress, ULONG length);
/// Frees a list from IoAllocateMdl, unmapping a mapped partial list first.
void IoFreeMdl(PMDL mdl);
/// Maps the described bytes into system space; returns their system address.
PVOID MmGetSystemAddressForMdlSafe(PMDL mdl, MM_PAGE_PRIORITY priority);
/// Undoes MmGetSystemAddressForMdlSafe for `mdl`.
void MmUnmapLockedPages(PVOID baseAddress, PMDL mdl);

inline PVOID MmGetMdlVirtualAddress(const MDL* mdl) {
    return static_cast<unsigned char*>(mdl->StartVa) + mdl->ByteOffset;
}
inline ULONG MmGetMdlByteCount(const MDL* mdl) {
    return mdl->ByteCount;
}
inline ULONG MmGetMdlByteOffset(const MDL* mdl) {
    return mdl->ByteOffset;
}

}  // namespace kmdf
