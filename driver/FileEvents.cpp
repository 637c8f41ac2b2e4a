#include "driver/Brindle.hpp"
#include "driver/BrindleContexts.hpp"
#include "driver/PipeName.hpp"
#include "platform/kmdf/Kernel.hpp"
#include "platform/kmdf/WdfCollection.hpp"
#include "platform/kmdf/WdfFileObject.hpp"
#include "platform/kmdf/WdfRequest.hpp"
#include "platform/kmdf/WdfUsbInterface.hpp"
#include "platform/kmdf/WdfUsbTargetPipe.hpp"
#include "platform/kmdf/WdfWaitLock.hpp"

namespace brindle {

using namespace kmdf;

namespace {

bool HasName(WDFFILEOBJECT fileObject) {
    PUNICODE_STRING name = WdfFileObjectGetFileName(fileObject);
    return name != nullptr && name->Length > 0;
}

bool IsOpen(WDFCOLLECTION openPipes, WDFUSBPIPE pipe) {
    const ULONG count = WdfCollectionGetCount(openPipes);
    for (ULONG i = 0; i < count; ++i) {
        if (WdfCollectionGetItem(openPipes, i) == pipe) {
            return true;
        }
    }
    return false;
}

/// Ownership test, pipe lookup and recording of the open pipe; the caller
/// holds the ownership lock.
NTSTATUS OpenPipeLocked(DEVICE_CONTEXT* context, WDFFILEOBJECT fileObject, WDFUSBPIPE* pipe) {
    const HANDLE process = PsGetCurrentProcessId();
    if (context->OwnerProcess != 0 && context->OwnerProcess != process) {
        return STATUS_INVALID_DEVICE_REQUEST;
    }
    context->OwnerProcess = process;
    const std::optional<UCHAR> index = PipeIndexFromName(*WdfFileObjectGetFileName(fileObject));
    if (!index || context->SelectedInterface == nullptr) {
        return STATUS_INVALID_DEVICE_REQUEST;
    }
    *pipe = WdfUsbInterfaceGetConfiguredPipe(context->SelectedInterface, *index, nullptr);
    if (*pipe == nullptr) {
        return STATUS_INVALID_DEVICE_REQUEST;
    }
    if (IsOpen(context->OpenPipeSet, *pipe)) {
        return STATUS_ACCESS_DENIED;
    }
    if (!NT_SUCCESS(WdfCollectionAdd(context->OpenPipeSet, *pipe))) {
        return STATUS_INTERNAL_ERROR;
    }
    return STATUS_SUCCESS;
}

}  // namespace

void EvtDeviceFileCreate(WDFDEVICE device, WDFREQUEST request, WDFFILEOBJECT fileObject) {
    if (!HasName(fileObject)) {
        WdfRequestComplete(request, STATUS_SUCCESS);
        return;
    }
    DEVICE_CONTEXT* context = GetDeviceContext(device);
    WDFUSBPIPE pipe = nullptr;
    WdfWaitLockAcquire(context->OwnershipLock, nullptr);
    const NTSTATUS status = OpenPipeLocked(context, fileObject, &pipe);
    WdfWaitLockRelease(context->OwnershipLock);
    if (NT_SUCCESS(status)) {
        GetFileContext(fileObject)->BoundPipe = pipe;
        WdfUsbTargetPipeSetNoMaximumPacketSizeCheck(pipe);
    }
    WdfRequestComplete(request, status);
}

void EvtFileClose(WDFFILEOBJECT) {}

void EvtFileCleanup(WDFFILEOBJECT fileObject) {
    DEVICE_CONTEXT* context = GetDeviceContext(WdfFileObjectGetDevice(fileObject));
    WDFUSBPIPE bound = GetFileContext(fileObject)->BoundPipe;
    // Held across the walk and the abort: a concurrent removal would shift
    // the entries under an unlocked walk, and the pipe must not be reopened
    // before its transfers are gone.
    WdfWaitLockAcquire(context->OwnershipLock, nullptr);
    if (HasName(fileObject)) {
        const ULONG count = WdfCollectionGetCount(context->OpenPipeSet);
        for (ULONG i = 0; i < count; ++i) {
            WDFOBJECT entry = WdfCollectionGetItem(context->OpenPipeSet, i);
            if (entry == bound) {
                WdfUsbTargetPipeAbortSynchronously(bound, nullptr, nullptr);
                WdfCollectionRemoveItem(context->OpenPipeSet, i);
                break;
            }
        }
    }
    if (WdfCollectionGetCount(context->OpenPipeSet) == 0) {
        context->OwnerProcess = 0;
    }
    WdfWaitLockRelease(context->OwnershipLock);
}

}  // namespace brindle
