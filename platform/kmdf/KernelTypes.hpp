// Basic kernel types shared by the framework layer and the driver.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kmdf {

using UCHAR = std::uint8_t;
using USHORT = std::uint16_t;
using ULONG = std::uint32_t;
using LONG = std::int32_t;
using LONGLONG = std::int64_t;
using ULONG_PTR = std::uintptr_t;
using BOOLEAN = bool;
using PVOID = void*;
using WCHAR = char16_t;
using PWCH = WCHAR*;
/// Kernel handles (process identifiers among them) are opaque integers here.
using HANDLE = std::uintptr_t;

/// Counted 16-bit string; Length and MaximumLength are in bytes.
struct UNICODE_STRING {
    USHORT Length = 0;
    USHORT MaximumLength = 0;
    PWCH Buffer = nullptr;
};
using PUNICODE_STRING = UNICODE_STRING*;
using PCUNICODE_STRING = const UNICODE_STRING*;

struct GUID {
    ULONG Data1;
    USHORT Data2;
    USHORT Data3;
    UCHAR Data4[8];

    friend bool operator==(const GUID&, const GUID&) = default;
};
static_assert(sizeof(GUID) == 16);

/// Status and byte count of a completed request.
struct IO_STATUS_BLOCK {
    std::int32_t Status = 0;
    ULONG_PTR Information = 0;
};

inline constexpr std::size_t PAGE_SIZE = 4096;

}  // namespace kmdf
