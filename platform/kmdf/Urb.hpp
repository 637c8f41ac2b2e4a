// The USB bus driver's bulk-or-interrupt transfer request as the framework
// and the simulated bus exchange it: a fixed 72-byte record that lives in
// framework memory and points at the memory descriptor list of its data.
#pragma once

#include <cstddef>

#include "platform/kmdf/Mdl.hpp"

namespace kmdf {

using USBD_STATUS = LONG;
using USBD_PIPE_HANDLE = const void*;

inline constexpr USBD_STATUS USBD_STATUS_SUCCESS = 0;
inline constexpr USBD_STATUS USBD_STATUS_STALL_PID = static_cast<USBD_STATUS>(0xC0000004);
inline constexpr USBD_STATUS USBD_STATUS_DEV_NOT_RESPONDING = static_cast<USBD_STATUS>(0xC0000005);
inline constexpr USBD_STATUS USBD_STATUS_ENDPOINT_HALTED = static_cast<USBD_STATUS>(0xC0000030);
inline constexpr USBD_STATUS USBD_STATUS_CANCELED = static_cast<USBD_STATUS>(0xC0010000);
inline constexpr USBD_STATUS USBD_STATUS_INVALID_PARAMETER = static_cast<USBD_STATUS>(0x80000300);

inline constexpr USHORT URB_FUNCTION_BULK_OR_INTERRUPT_TRANSFER = 0x0009;
inline constexpr ULONG USBD_TRANSFER_DIRECTION_IN = 0x1;
inline constexpr ULONG USBD_SHORT_TRANSFER_OK = 0x2;

struct URB_HEADER {
    USHORT Length;
    USHORT Function;
    USBD_STATUS Status;
    PVOID UsbdDeviceHandle;
    ULONG UsbdFlags;
};

/// TransferBufferLength is the length asked for on the way down and the
/// bytes actually moved on the way back.
struct URB_BULK_OR_INTERRUPT_TRANSFER {
    URB_HEADER Hdr;
    USBD_PIPE_HANDLE PipeHandle;
    ULONG TransferFlags;
    ULONG TransferBufferLength;
    PVOID TransferBuffer;
    PMDL TransferBufferMDL;
    URB_BULK_OR_INTERRUPT_TRANSFER* UrbLink;
    ULONG_PTR HcdReserved;
};

static_assert(sizeof(void*) == 8, "the transfer record layout assumes 64-bit pointers");
static_assert(sizeof(URB_HEADER) == 24);
static_assert(offsetof(URB_BULK_OR_INTERRUPT_TRANSFER, PipeHandle) == 24);
static_assert(offsetof(URB_BULK_OR_INTERRUPT_TRANSFER, TransferFlags) == 32);
static_assert(offsetof(URB_BULK_OR_INTERRUPT_TRANSFER, TransferBufferLength) == 36);
static_assert(offsetof(URB_BULK_OR_INTERRUPT_TRANSFER, TransferBuffer) == 40);
static_assert(offsetof(URB_BULK_OR_INTERRUPT_TRANSFER, TransferBufferMDL) == 48);
static_assert(offsetof(URB_BULK_OR_INTERRUPT_TRANSFER, UrbLink) == 56);
static_assert(sizeof(URB_BULK_OR_INTERRUPT_TRANSFER) == 72);

/// The eight bytes of a control request's setup stage.
struct UsbSetupPacket {
    UCHAR bmRequestType = 0;
    UCHAR bRequest = 0;
    USHORT wValue = 0;
    USHORT wIndex = 0;
    USHORT wLength = 0;
};

}  // namespace kmdf
