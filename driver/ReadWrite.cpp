#include <algorithm>
#include <new>

#include "driver/Brindle.hpp"
#include "driver/BrindleContexts.hpp"
#include "platform/kmdf/WdfMemory.hpp"
#include "platform/kmdf/WdfRequest.hpp"
#include "platform/kmdf/WdfUsbTargetPipe.hpp"

namespace brindle {

using namespace kmdf;

namespace {

std::uint32_t StageSizeOf(WDFUSBPIPE pipe) {
    return WdfUsbTargetPipeGetType(pipe) == WdfUsbPipeTypeBulk ? BULK_STAGE_SIZE
                                                               : INTERRUPT_STAGE_SIZE;
}

bool IsRead(WDFREQUEST request) {
    WDF_REQUEST_PARAMETERS parameters;
    WdfRequestGetParameters(request, &parameters);
    return parameters.Type == WdfRequestTypeRead;
}

NTSTATUS RetrieveRequestMdl(WDFREQUEST request, bool read, PMDL* mdl) {
    return read ? WdfRequestRetrieveOutputWdmMdl(request, mdl)
                : WdfRequestRetrieveInputWdmMdl(request, mdl);
}

URB_BULK_OR_INTERRUPT_TRANSFER* UrbOf(const REQUEST_CONTEXT* context) {
    return static_cast<URB_BULK_OR_INTERRUPT_TRANSFER*>(
        WdfMemoryGetBuffer(context->TransferUrb, nullptr));
}

void FinishTransfer(WDFREQUEST request, REQUEST_CONTEXT* context, NTSTATUS status) {
    IoFreeMdl(context->StageMdl);
    context->StageMdl = nullptr;
    WdfRequestComplete(request, status);
}

/// Places the transfer record in fresh request-parented memory.
NTSTATUS CreateUrb(WDFREQUEST request, WDFUSBPIPE pipe, bool read, PMDL stageMdl,
                   std::uint32_t stageLength, WDFMEMORY* memory) {
    WDF_OBJECT_ATTRIBUTES attributes;
    WDF_OBJECT_ATTRIBUTES_INIT(&attributes);
    attributes.ParentObject = request;
    PVOID buffer = nullptr;
    const NTSTATUS status =
        WdfMemoryCreate(&attributes, POOL_TYPE::NonPagedPool, BRINDLE_POOL_TAG,
                        sizeof(URB_BULK_OR_INTERRUPT_TRANSFER), memory, &buffer);
    if (!NT_SUCCESS(status)) {
        return status;
    }
    auto* urb = new (buffer) URB_BULK_OR_INTERRUPT_TRANSFER{};
    urb->Hdr.Length = sizeof(URB_BULK_OR_INTERRUPT_TRANSFER);
    urb->Hdr.Function = URB_FUNCTION_BULK_OR_INTERRUPT_TRANSFER;
    urb->PipeHandle = WdfUsbTargetPipeWdmGetPipeHandle(pipe);
    urb->TransferFlags = (read ? USBD_TRANSFER_DIRECTION_IN : 0) | USBD_SHORT_TRANSFER_OK;
    urb->TransferBufferLength = stageLength;
    urb->TransferBuffer = nullptr;
    urb->TransferBufferMDL = stageMdl;
    urb->UrbLink = nullptr;
    return STATUS_SUCCESS;
}

/// Steps 3 to 10 of a transfer on a bulk or interrupt pipe, length checked.
void StartTransfer(WDFREQUEST request, WDFUSBPIPE pipe, std::uint32_t length) {
    const bool read = IsRead(request);
    const std::uint32_t stageSize = StageSizeOf(pipe);
    PMDL requestMdl = nullptr;
    NTSTATUS status = RetrieveRequestMdl(request, read, &requestMdl);
    if (!NT_SUCCESS(status)) {
        WdfRequestComplete(request, status);
        return;
    }
    auto* start = static_cast<std::uint8_t*>(MmGetMdlVirtualAddress(requestMdl));
    const std::uint32_t firstLength = std::min(length, stageSize);
    PMDL stageMdl = IoAllocateMdl(start, length, false, false, nullptr);
    if (stageMdl == nullptr) {
        WdfRequestComplete(request, STATUS_INSUFFICIENT_RESOURCES);
        return;
    }
    IoBuildPartialMdl(requestMdl, stageMdl, start, firstLength);
    WDFMEMORY urbMemory = nullptr;
    if (!NT_SUCCESS(CreateUrb(request, pipe, read, stageMdl, firstLength, &urbMemory)) ||
        !NT_SUCCESS(WdfUsbTargetPipeFormatRequestForUrb(pipe, request, urbMemory, nullptr))) {
        IoFreeMdl(stageMdl);
        WdfRequestComplete(request, STATUS_INSUFFICIENT_RESOURCES);
        return;
    }
    WdfRequestSetCompletionRoutine(request, ReadWriteStageCompletion, pipe);
    REQUEST_CONTEXT* context = GetRequestContext(request);
    *context = REQUEST_CONTEXT{urbMemory, stageMdl, length - firstLength, 0, start + firstLength};
    if (!WdfRequestSend(request, WdfUsbTargetPipeGetIoTarget(pipe), WDF_NO_SEND_OPTIONS)) {
        status = WdfRequestGetStatus(request);
        IoFreeMdl(stageMdl);
        WdfRequestCompleteWithInformation(request, status, 0);
    }
}

/// Rebuilds the stage list for the next stage and sends it; returns a
/// failure status if the request is not in flight afterwards.
NTSTATUS SendNextStage(WDFREQUEST request, REQUEST_CONTEXT* context, WDFUSBPIPE pipe) {
    const std::uint32_t nextLength = std::min(context->BytesRemaining, StageSizeOf(pipe));
    PMDL stageMdl = context->StageMdl;
    if ((stageMdl->MdlFlags & MDL_PARTIAL_HAS_BEEN_MAPPED) != 0) {
        MmUnmapLockedPages(stageMdl->MappedSystemVa, stageMdl);
    }
    PMDL requestMdl = nullptr;
    NTSTATUS status = RetrieveRequestMdl(request, IsRead(request), &requestMdl);
    if (!NT_SUCCESS(status)) {
        return status;
    }
    IoBuildPartialMdl(requestMdl, stageMdl, context->NextStageAddress, nextLength);
    UrbOf(context)->TransferBufferLength = nextLength;
    context->NextStageAddress += nextLength;
    context->BytesRemaining -= nextLength;
    if (!NT_SUCCESS(
            WdfUsbTargetPipeFormatRequestForUrb(pipe, request, context->TransferUrb, nullptr))) {
        return STATUS_INSUFFICIENT_RESOURCES;
    }
    WdfRequestSetCompletionRoutine(request, ReadWriteStageCompletion, pipe);
    if (!WdfRequestSend(request, WdfUsbTargetPipeGetIoTarget(pipe), WDF_NO_SEND_OPTIONS)) {
        return WdfRequestGetStatus(request);
    }
    return STATUS_SUCCESS;
}

}  // namespace

void EvtIoReadWrite(WDFQUEUE, WDFREQUEST request, std::size_t length) {
    WDFUSBPIPE pipe = GetFileContext(WdfRequestGetFileObject(request))->BoundPipe;
    if (pipe == nullptr) {
        WdfRequestCompleteWithInformation(request, STATUS_INVALID_PARAMETER, 0);
        return;
    }
    const WDF_USB_PIPE_TYPE type = WdfUsbTargetPipeGetType(pipe);
    if (type != WdfUsbPipeTypeBulk && type != WdfUsbPipeTypeInterrupt) {
        WdfRequestComplete(request, STATUS_INVALID_DEVICE_REQUEST);
        return;
    }
    if (length > MAXIMUM_TRANSFER_SIZE) {
        WdfRequestComplete(request, STATUS_INVALID_PARAMETER);
        return;
    }
    StartTransfer(request, pipe, static_cast<std::uint32_t>(length));
}

void ReadWriteStageCompletion(WDFREQUEST request, WDFIOTARGET,
                              PWDF_REQUEST_COMPLETION_PARAMS params, WDFCONTEXT context) {
    REQUEST_CONTEXT* transfer = GetRequestContext(request);
    NTSTATUS status = params->IoStatus.Status;
    if (NT_SUCCESS(status)) {
        // On the way back the record's length is what the stage really moved.
        transfer->BytesTransferred += UrbOf(transfer)->TransferBufferLength;
        if (transfer->BytesRemaining == 0) {
            WdfRequestSetInformation(request, transfer->BytesTransferred);
        } else {
            status = SendNextStage(request, transfer, static_cast<WDFUSBPIPE>(context));
            if (NT_SUCCESS(status)) {
                return;
            }
        }
    }
    FinishTransfer(request, transfer, status);
}

}  // namespace brindle
