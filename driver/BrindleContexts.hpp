// The contexts Brindle attaches to its device, file and request objects, and
// the constants they are built around.
#pragma once

#include <cstdint>

#include "platform/kmdf/Mdl.hpp"
#include "platform/kmdf/PoolTracker.hpp"
#include "platform/kmdf/Urb.hpp"
#include "platform/kmdf/WdfDevice.hpp"
#include "platform/kmdf/WdfFileObject.hpp"
#include "platform/kmdf/WdfObject.hpp"
#include "platform/kmdf/WdfRequest.hpp"

namespace brindle {

/// Device interface class that user mode enumerates to find the adapter.
inline constexpr kmdf::GUID BRINDLE_INTERFACE_CLASS{
    0x00873FDF, 0x61A8, 0x11D1, {0xAA, 0x5E, 0x00, 0xC0, 0x4F, 0xB1, 0x72, 0x8B}};

/// Tag of Brindle's framework memory: the bytes 55 53 42 53.
inline constexpr std::uint32_t BRINDLE_POOL_TAG = kmdf::PoolTag("USBS");

inline constexpr std::uint32_t BULK_STAGE_SIZE = 40960;        // 0xA000
inline constexpr std::uint32_t INTERRUPT_STAGE_SIZE = 4096;    // 0x1000
inline constexpr std::uint32_t MAXIMUM_TRANSFER_SIZE = 65536;  // 0x10000

struct DEVICE_CONTEXT {
    kmdf::WDFUSBDEVICE UsbTarget = nullptr;
    /// Copy of the configuration descriptor set, wTotalLength bytes, in
    /// memory parented to UsbTarget; null until the first start.
    const std::uint8_t* ConfigDescriptorBuffer = nullptr;
    kmdf::WDFMEMORY ConfigDescriptorMemory = nullptr;
    kmdf::WDFUSBINTERFACE SelectedInterface = nullptr;
    kmdf::UCHAR ConfiguredPipeCount = 0;
    /// Process that holds the pipes; 0 when none does.
    kmdf::HANDLE OwnerProcess = 0;
    /// Pipes open through a file handle, at most one handle each.
    kmdf::WDFCOLLECTION OpenPipeSet = nullptr;
    /// Serialises the ownership test and update with the open-pipe set, so
    /// two processes opening their first pipe at once cannot both own.
    kmdf::WDFWAITLOCK OwnershipLock = nullptr;
};

struct FILE_CONTEXT {
    /// The pipe the handle was opened for; null on the device itself.
    kmdf::WDFUSBPIPE BoundPipe = nullptr;
};

/// State of one staged read or write.
struct REQUEST_CONTEXT {
    /// 72 bytes of framework memory parented to the request, holding the URB.
    kmdf::WDFMEMORY TransferUrb = nullptr;
    /// Allocated for the whole transfer, rebuilt as a partial list per stage.
    kmdf::PMDL StageMdl = nullptr;
    std::uint32_t BytesRemaining = 0;
    std::uint32_t BytesTransferred = 0;
    std::uint8_t* NextStageAddress = nullptr;
};

inline DEVICE_CONTEXT* GetDeviceContext(kmdf::WDFDEVICE device) {
    return kmdf::WdfObjectGetTypedContext<DEVICE_CONTEXT>(device);
}
inline FILE_CONTEXT* GetFileContext(kmdf::WDFFILEOBJECT file) {
    return kmdf::WdfObjectGetTypedContext<FILE_CONTEXT>(file);
}
inline REQUEST_CONTEXT* GetRequestContext(kmdf::WDFREQUEST request) {
    return kmdf::WdfObjectGetTypedContext<REQUEST_CONTEXT>(request);
}

}  // namespace brindle
