#include "platform/kmdf/WdfRequest.hpp"

#include "platform/kmdf/Kernel.hpp"
#include "platform/kmdf/WdfDevice.hpp"
#include "platform/kmdf/WdfIoTarget.hpp"

namespace kmdf {

WdfRequest::WdfRequest(WDFDEVICE device, WDFFILEOBJECT file,
                       const WDF_REQUEST_PARAMETERS& parameters, RequestSink sink)
    : device(device), file(file), parameters(parameters), sink(std::move(sink)) {}

bool WdfRequest::Cancel() {
    std::function<void()> cancelSent;
    {
        std::lock_guard lock(cancelMutex_);
        if (cancelRequested_) {
            return false;
        }
        cancelRequested_ = true;
        cancelSent = cancelSent_;
    }
    if (cancelSent) {
        cancelSent();
    }
    return true;
}

bool WdfRequest::EnterTarget(std::function<void()> cancelSent) {
    std::lock_guard lock(cancelMutex_);
    cancelSent_ = std::move(cancelSent);
    return cancelRequested_;
}

void WdfRequest::LeaveTarget() {
    std::lock_guard lock(cancelMutex_);
    cancelSent_ = nullptr;
}

void WdfRequestComplete(WDFREQUEST request, NTSTATUS status) {
    request->device->CompleteRequest(request, status, std::nullopt);
}

void WdfRequestCompleteWithInformation(WDFREQUEST request, NTSTATUS status, ULONG_PTR information) {
    request->device->CompleteRequest(request, status, information);
}

void WdfRequestSetInformation(WDFREQUEST request, ULONG_PTR information) {
    request->information = information;
}

ULONG_PTR WdfRequestGetInformation(WDFREQUEST request) {
    return request->information;
}

NTSTATUS WdfRequestGetStatus(WDFREQUEST request) {
    return request->status;
}

WDFFILEOBJECT WdfRequestGetFileObject(WDFREQUEST request) {
    return request->file;
}

void WdfRequestGetParameters(WDFREQUEST request, WDF_REQUEST_PARAMETERS* parameters) {
    *parameters = request->parameters;
}

NTSTATUS WdfRequestRetrieveOutputBuffer(WDFREQUEST request, std::size_t minimumRequiredSize,
                                        PVOID* buffer, std::size_t* length) {
    *buffer = nullptr;
    if (request->parameters.Type != WdfRequestTypeDeviceControl) {
        return STATUS_INVALID_DEVICE_REQUEST;
    }
    const std::size_t available = request->parameters.OutputBufferLength;
    if (available == 0 || available < minimumRequiredSize) {
        return STATUS_BUFFER_TOO_SMALL;
    }
    *buffer = request->systemBuffer.data();
    if (length != nullptr) {
        *length = available;
    }
    return STATUS_SUCCESS;
}

namespace {

NTSTATUS RetrieveMdl(WDFREQUEST request, WDF_REQUEST_TYPE expected, PMDL* mdl) {
    *mdl = nullptr;
    if (request->parameters.Type != expected || request->device->IoType() != WdfDeviceIoDirect) {
        return STATUS_INVALID_DEVICE_REQUEST;
    }
    if (Kernel::Current().Faults().ShouldFail(FaultPoint::RetrieveMdl)) {
        return STATUS_INSUFFICIENT_RESOURCES;
    }
    if (request->mdl == nullptr) {
        return STATUS_BUFFER_TOO_SMALL;
    }
    *mdl = request->mdl;
    return STATUS_SUCCESS;
}

}  // namespace

NTSTATUS WdfRequestRetrieveOutputWdmMdl(WDFREQUEST request, PMDL* mdl) {
    return RetrieveMdl(request, WdfRequestTypeRead, mdl);
}

NTSTATUS WdfRequestRetrieveInputWdmMdl(WDFREQUEST request, PMDL* mdl) {
    return RetrieveMdl(request, WdfRequestTypeWrite, mdl);
}

void WdfRequestSetCompletionRoutine(WDFREQUEST request, PFN_WDF_REQUEST_COMPLETION_ROUTINE routine,
                                    WDFCONTEXT context) {
    request->completionRoutine = routine;
    request->completionContext = context;
}

BOOLEAN WdfRequestSend(WDFREQUEST request, WDFIOTARGET target, const WDF_REQUEST_SEND_OPTIONS*) {
    if (request->state.load() == WdfRequest::State::Sent) {
        Kernel::Current().UpdateStats([](FrameworkStats& s) { ++s.sentTwice; });
        return false;
    }
    return target->Send(request);
}

}  // namespace kmdf
