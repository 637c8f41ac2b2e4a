#include "platform/kmdf/WdfIoQueue.hpp"

#include "platform/kmdf/Kernel.hpp"
#include "platform/kmdf/WdfDevice.hpp"
#include "platform/kmdf/WdfRequest.hpp"

namespace kmdf {

void WdfIoQueue::Dispatch(WDFREQUEST request) {
    const WDF_REQUEST_PARAMETERS& p = request->parameters;
    const bool readOrWrite = p.Type == WdfRequestTypeRead || p.Type == WdfRequestTypeWrite;
    if (readOrWrite && p.Length == 0 && !config_.AllowZeroLengthRequests) {
        WdfRequestCompleteWithInformation(request, STATUS_SUCCESS, 0);
        return;
    }
    auto present = [&](auto handler, auto&&... args) {
        if (handler == nullptr) {
            WdfRequestComplete(request, STATUS_INVALID_DEVICE_REQUEST);
            return;
        }
        Kernel::Current().UpdateStats([](FrameworkStats& s) { ++s.presentedToDriver; });
        handler(this, request, args...);
    };
    switch (p.Type) {
        case WdfRequestTypeRead:
            present(config_.EvtIoRead, p.Length);
            return;
        case WdfRequestTypeWrite:
            present(config_.EvtIoWrite, p.Length);
            return;
        case WdfRequestTypeDeviceControl:
            present(config_.EvtIoDeviceControl, p.OutputBufferLength, p.InputBufferLength,
                    p.IoControlCode);
            return;
        default:
            WdfRequestComplete(request, STATUS_INVALID_DEVICE_REQUEST);
            return;
    }
}

NTSTATUS WdfIoQueueCreate(WDFDEVICE device, const WDF_IO_QUEUE_CONFIG* config,
                          const WDF_OBJECT_ATTRIBUTES* attributes, WDFQUEUE* queue) {
    *queue = nullptr;
    if (config->DispatchType != WdfIoQueueDispatchParallel) {
        return STATUS_INVALID_PARAMETER;
    }
    if (config->DefaultQueue && device->DefaultQueue() != nullptr) {
        return STATUS_INVALID_DEVICE_STATE;
    }
    *queue = WdfCreateObject<WdfIoQueue>(attributes, device, device, *config);
    if (config->DefaultQueue) {
        device->SetDefaultQueue(*queue);
    }
    return STATUS_SUCCESS;
}

WDFDEVICE WdfIoQueueGetDevice(WDFQUEUE queue) {
    return queue->Device();
}

}  // namespace kmdf
