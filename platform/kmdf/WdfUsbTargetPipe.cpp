#include "platform/kmdf/WdfUsbTargetPipe.hpp"

#include "platform/kmdf/Kernel.hpp"
#include "platform/kmdf/WdfMemory.hpp"
#include "platform/kmdf/WdfRequest.hpp"

namespace kmdf {

namespace {

WDF_USB_PIPE_TYPE PipeTypeOf(UsbEndpointType type) {
    switch (type) {
        case UsbEndpointType::Control:
            return WdfUsbPipeTypeControl;
        case UsbEndpointType::Isochronous:
            return WdfUsbPipeTypeIsochronous;
        case UsbEndpointType::Bulk:
            return WdfUsbPipeTypeBulk;
        case UsbEndpointType::Interrupt:
            return WdfUsbPipeTypeInterrupt;
    }
    return WdfUsbPipeTypeInvalid;
}

}  // namespace

WdfUsbTargetPipe::WdfUsbTargetPipe(std::shared_ptr<SimUsbDevice> device,
                                   const UsbEndpointInfo& endpoint, UCHAR settingIndex)
    : device_(std::move(device)), endpoint_(endpoint), settingIndex_(settingIndex) {}

WDF_USB_PIPE_INFORMATION WdfUsbTargetPipe::Information() const {
    WDF_USB_PIPE_INFORMATION info;
    info.MaximumPacketSize = endpoint_.maxPacketSize;
    info.EndpointAddress = endpoint_.address;
    info.Interval = endpoint_.interval;
    info.SettingIndex = settingIndex_;
    info.PipeType = PipeTypeOf(endpoint_.type);
    info.MaximumTransferSize = MAXIMUM_PIPE_TRANSFER_SIZE;
    return info;
}

void WdfUsbTargetPipe::SetConfigured(bool configured) {
    std::lock_guard lock(mutex_);
    configured_ = configured;
}

bool WdfUsbTargetPipe::Send(WDFREQUEST request) {
    if (request->formattedPipe != this || request->formattedUrb == nullptr) {
        request->status = STATUS_INVALID_DEVICE_REQUEST;
        return false;
    }
    auto transfer = std::make_shared<SimTransfer>();
    transfer->endpoint = endpoint_.address;
    transfer->urb = request->formattedUrb;
    transfer->expectedPipe = WdmHandle();
    transfer->onComplete = [this, request](SimTransfer& t) { OnTransferComplete(request, t); };
    {
        // Once counted in flight, a concurrent stop waits for the transfer,
        // and its abort cancels it whether it is submitted before or after.
        std::lock_guard lock(mutex_);
        if (!configured_) {
            request->status = STATUS_INVALID_DEVICE_STATE;
            return false;
        }
        if (!BeginSendLocked(request)) {
            return false;
        }
    }
    // Cancelled before it got here: marked first, the bus completes it as
    // cancelled.
    if (request->EnterTarget([bus = device_, transfer] { bus->Cancel(transfer); })) {
        device_->Cancel(transfer);
    }
    // The transfer may complete, and the request with it, inside this call.
    device_->Submit(transfer);
    return true;
}

void WdfUsbTargetPipe::OnTransferComplete(WDFREQUEST request, SimTransfer& transfer) {
    WDF_USB_REQUEST_COMPLETION_PARAMS usb{transfer.usbdStatus};
    WDF_REQUEST_COMPLETION_PARAMS params;
    params.IoStatus.Status = transfer.status;
    params.IoStatus.Information = transfer.bytes;
    params.Parameters.Usb.Completion = &usb;
    request->status = transfer.status;
    request->LeaveTarget();
    PFN_WDF_REQUEST_COMPLETION_ROUTINE routine = request->completionRoutine;
    WDFCONTEXT context = request->completionContext;
    request->completionRoutine = nullptr;
    request->state.store(WdfRequest::State::Presented);
    ProcessScope scope(SYSTEM_PROCESS_ID);
    if (routine != nullptr) {
        routine(request, this, &params, context);
    } else {
        WdfRequestComplete(request, transfer.status);
    }
    EndSend();
}

void WdfUsbTargetPipe::Stop(WDF_IO_TARGET_SENT_IO_ACTION action) {
    SetStopped(true);
    if (action == WdfIoTargetCancelSentIo) {
        device_->BeginAbort(endpoint_.address);
    }
    if (action != WdfIoTargetLeaveSentIoPending) {
        WaitUntilIdle();
    }
    if (action == WdfIoTargetCancelSentIo) {
        device_->EndAbort(endpoint_.address);
    }
}

NTSTATUS WdfUsbTargetPipe::Abort() {
    device_->BeginAbort(endpoint_.address);
    WaitUntilIdle();
    device_->EndAbort(endpoint_.address);
    return STATUS_SUCCESS;
}

NTSTATUS WdfUsbTargetPipe::Reset() {
    if (!device_->IsConnected()) {
        return STATUS_DEVICE_NOT_CONNECTED;
    }
    device_->ClearHalt(endpoint_.address);
    return STATUS_SUCCESS;
}

void WdfUsbTargetPipeGetInformation(WDFUSBPIPE pipe, WDF_USB_PIPE_INFORMATION* information) {
    *information = pipe->Information();
}

WDF_USB_PIPE_TYPE WdfUsbTargetPipeGetType(WDFUSBPIPE pipe) {
    return pipe->Information().PipeType;
}

BOOLEAN WdfUsbTargetPipeIsInEndpoint(WDFUSBPIPE pipe) {
    return pipe->Endpoint().IsIn();
}

void WdfUsbTargetPipeSetNoMaximumPacketSizeCheck(WDFUSBPIPE pipe) {
    pipe->DisableMaximumPacketSizeCheck();
}

USBD_PIPE_HANDLE WdfUsbTargetPipeWdmGetPipeHandle(WDFUSBPIPE pipe) {
    return pipe->WdmHandle();
}

WDFIOTARGET WdfUsbTargetPipeGetIoTarget(WDFUSBPIPE pipe) {
    return pipe;
}

NTSTATUS WdfUsbTargetPipeFormatRequestForUrb(WDFUSBPIPE pipe, WDFREQUEST request,
                                             WDFMEMORY urbMemory,
                                             const std::size_t* urbMemoryOffset) {
    if (Kernel::Current().Faults().ShouldFail(FaultPoint::FormatRequest)) {
        return STATUS_INSUFFICIENT_RESOURCES;
    }
    const std::size_t offset = urbMemoryOffset != nullptr ? *urbMemoryOffset : 0;
    if (urbMemory->Size() < offset + sizeof(URB_BULK_OR_INTERRUPT_TRANSFER)) {
        return STATUS_INVALID_PARAMETER;
    }
    auto* urb = reinterpret_cast<URB_BULK_OR_INTERRUPT_TRANSFER*>(
        static_cast<unsigned char*>(urbMemory->Buffer()) + offset);
    const ULONG packet = pipe->Endpoint().maxPacketSize;
    if (pipe->ChecksPacketSize() && packet != 0 && urb->TransferBufferLength % packet != 0) {
        return STATUS_INVALID_BUFFER_SIZE;
    }
    request->formattedUrb = urb;
    request->formattedPipe = pipe;
    return STATUS_SUCCESS;
}

NTSTATUS WdfUsbTargetPipeResetSynchronously(WDFUSBPIPE pipe, WDFREQUEST,
                                            const WDF_REQUEST_SEND_OPTIONS*) {
    return pipe->Reset();
}

NTSTATUS WdfUsbTargetPipeAbortSynchronously(WDFUSBPIPE pipe, WDFREQUEST,
                                            const WDF_REQUEST_SEND_OPTIONS*) {
    return pipe->Abort();
}

}  // namespace kmdf
