// A configured pipe of the selected interface, as an I/O target. Requests
// are sent to it formatted for a bulk-or-interrupt transfer record.
#pragma once

#include <memory>

#include "platform/kmdf/SimUsbDevice.hpp"
#include "platform/kmdf/WdfIoTarget.hpp"

namespace kmdf {

class WdfUsbTargetPipe final : public WdfIoTarget {
  public:
    WdfUsbTargetPipe(std::shared_ptr<SimUsbDevice> device, const UsbEndpointInfo& endpoint,
                     UCHAR settingIndex);
    ~WdfUsbTargetPipe() override { DeleteChildren(); }

    bool Send(WDFREQUEST request) override;
    void Stop(WDF_IO_TARGET_SENT_IO_ACTION action) override;

    const UsbEndpointInfo& Endpoint() const { return endpoint_; }
    WDF_USB_PIPE_INFORMATION Information() const;
    USBD_PIPE_HANDLE WdmHandle() const { return this; }
    void SetConfigured(bool configured);
    void DisableMaximumPacketSizeCheck() { checkPacketSize_ = false; }
    bool ChecksPacketSize() const { return checkPacketSize_; }
    /// Cancels every transfer of the pipe and waits for all to complete.
    NTSTATUS Abort();
    NTSTATUS Reset();

  private:
    void OnTransferComplete(WDFREQUEST request, SimTransfer& transfer);

    std::shared_ptr<SimUsbDevice> device_;
    UsbEndpointInfo endpoint_;
    UCHAR settingIndex_;
    bool configured_ = true;
    bool checkPacketSize_ = true;
};

/// The largest transfer the bus takes on one pipe.
inline constexpr ULONG MAXIMUM_PIPE_TRANSFER_SIZE = 0x10000;

void WdfUsbTargetPipeGetInformation(WDFUSBPIPE pipe, WDF_USB_PIPE_INFORMATION* information);
WDF_USB_PIPE_TYPE WdfUsbTargetPipeGetType(WDFUSBPIPE pipe);
BOOLEAN WdfUsbTargetPipeIsInEndpoint(WDFUSBPIPE pipe);
void WdfUsbTargetPipeSetNoMaximumPacketSizeCheck(WDFUSBPIPE pipe);
USBD_PIPE_HANDLE WdfUsbTargetPipeWdmGetPipeHandle(WDFUSBPIPE pipe);
WDFIOTARGET WdfUsbTargetPipeGetIoTarget(WDFUSBPIPE pipe);
/// Prepares `request` to carry the transfer record in `urbMemory` (at
/// `*urbMemoryOffset`, or 0) to `pipe`.
NTSTATUS WdfUsbTargetPipeFormatRequestForUrb(WDFUSBPIPE pipe, WDFREQUEST request,
                                             WDFMEMORY urbMemory,
                                             const std::size_t* urbMemoryOffset);
NTSTATUS WdfUsbTargetPipeResetSynchronously(WDFUSBPIPE pipe, WDFREQUEST request,
                                            const WDF_REQUEST_SEND_OPTIONS* options);
NTSTATUS WdfUsbTargetPipeAbortSynchronously(WDFUSBPIPE pipe, WDFREQUEST request,
                                            const WDF_REQUEST_SEND_OPTIONS* options);

}  // namespace kmdf
