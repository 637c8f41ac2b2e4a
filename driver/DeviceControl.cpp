#include <cstring>
#include <span>

#include "driver/Brindle.hpp"
#include "driver/BrindleContexts.hpp"
#include "driver/BrindleIoctl.hpp"
#include "platform/byteorder/ByteOrder.hpp"
#include "platform/kmdf/WdfIoQueue.hpp"
#include "platform/kmdf/WdfRequest.hpp"
#include "platform/kmdf/WdfUsbTargetDevice.hpp"
#include "platform/kmdf/WdfUsbTargetPipe.hpp"

namespace brindle {

using namespace kmdf;

namespace {

constexpr UCHAR GET_STATUS_TO_HOST_ENDPOINT = 0x82;
constexpr UCHAR USB_REQUEST_GET_STATUS = 0;
constexpr LONGLONG ENDPOINT_STATUS_TIMEOUT = WDF_REL_TIMEOUT_IN_MS(100);
static_assert(ENDPOINT_STATUS_TIMEOUT == -1000000);

/// Copies `bytes` to the output buffer and completes; a too small buffer
/// fails with the size needed as information.
void CompleteWithOutput(WDFREQUEST request, const void* bytes, std::size_t size) {
    PVOID buffer = nullptr;
    const NTSTATUS status = WdfRequestRetrieveOutputBuffer(request, size, &buffer, nullptr);
    if (!NT_SUCCESS(status)) {
        WdfRequestCompleteWithInformation(request, status, size);
        return;
    }
    std::memcpy(buffer, bytes, size);
    WdfRequestCompleteWithInformation(request, STATUS_SUCCESS, size);
}

void GetConfigDescriptor(WDFREQUEST request, const DEVICE_CONTEXT* context) {
    const std::uint8_t* set = context->ConfigDescriptorBuffer;
    if (set == nullptr) {
        WdfRequestComplete(request, STATUS_INVALID_DEVICE_STATE);
        return;
    }
    // wTotalLength, bytes 2..3 of the configuration descriptor.
    const std::size_t totalLength = quillon::byteorder::GetU16LE(std::span(set, 4), 2);
    CompleteWithOutput(request, set, totalLength);
}

NTSTATUS ResetDevice(const DEVICE_CONTEXT* context) {
    if (context->UsbTarget == nullptr) {
        return STATUS_INVALID_DEVICE_STATE;
    }
    const NTSTATUS status = WdfUsbTargetDeviceIsConnectedSynchronous(context->UsbTarget);
    if (!NT_SUCCESS(status)) {
        return status;
    }
    return WdfUsbTargetDeviceResetPortSynchronously(context->UsbTarget);
}

void GetEndpointStatus(WDFREQUEST request, const DEVICE_CONTEXT* context, WDFUSBPIPE pipe) {
    // Little-endian 0x00FE; the device's two-byte answer replaces it.
    std::uint8_t word[2] = {};
    quillon::byteorder::PutU16LE(word, 0, ENDPOINT_STATUS_NO_ANSWER);
    WDF_USB_CONTROL_SETUP_PACKET setup;
    setup.Packet.bmRequestType = GET_STATUS_TO_HOST_ENDPOINT;
    setup.Packet.bRequest = USB_REQUEST_GET_STATUS;
    setup.Packet.wValue = 0;
    WDF_USB_PIPE_INFORMATION info;
    WdfUsbTargetPipeGetInformation(pipe, &info);
    setup.Packet.wIndex = info.EndpointAddress;
    WDF_MEMORY_DESCRIPTOR memory;
    WDF_MEMORY_DESCRIPTOR_INIT_BUFFER(&memory, word, sizeof word);
    WDF_REQUEST_SEND_OPTIONS options;
    WDF_REQUEST_SEND_OPTIONS_INIT(&options, 0);
    WDF_REQUEST_SEND_OPTIONS_SET_TIMEOUT(&options, ENDPOINT_STATUS_TIMEOUT);
    // The outcome is deliberately not looked at: no answer leaves 0x00FE.
    (void)WdfUsbTargetDeviceSendControlTransferSynchronously(context->UsbTarget, nullptr, &options,
                                                             &setup, &memory, nullptr);
    CompleteWithOutput(request, word, sizeof word);
}

}  // namespace

void EvtIoDeviceControl(WDFQUEUE queue, WDFREQUEST request, std::size_t, std::size_t,
                        ULONG ioControlCode) {
    const DEVICE_CONTEXT* context = GetDeviceContext(WdfIoQueueGetDevice(queue));
    WDFUSBPIPE pipe = GetFileContext(WdfRequestGetFileObject(request))->BoundPipe;
    const bool needsPipe = ioControlCode == IOCTL_ADAPTER_RESET_PIPE ||
                           ioControlCode == IOCTL_ADAPTER_GET_PIPE_INFORMATION ||
                           ioControlCode == IOCTL_ADAPTER_GET_ENDPOINT_STATUS;
    if (needsPipe && pipe == nullptr) {
        WdfRequestComplete(request, STATUS_INVALID_PARAMETER);
        return;
    }
    switch (ioControlCode) {
        case IOCTL_ADAPTER_GET_CONFIG_DESCRIPTOR:
            GetConfigDescriptor(request, context);
            return;
        case IOCTL_ADAPTER_RESET_DEVICE:
            WdfRequestComplete(request, ResetDevice(context));
            return;
        case IOCTL_ADAPTER_RESET_PIPE:
            WdfRequestComplete(request, WdfUsbTargetPipeResetSynchronously(pipe, nullptr, nullptr));
            return;
        case IOCTL_ADAPTER_GET_PIPE_INFORMATION: {
            WDF_USB_PIPE_INFORMATION info;
            WDF_USB_PIPE_INFORMATION_INIT(&info);
            WdfUsbTargetPipeGetInformation(pipe, &info);
            const PipeInformationRecord record = EncodePipeInformation(info);
            CompleteWithOutput(request, record.data(), record.size());
            return;
        }
        case IOCTL_ADAPTER_GET_PIPE_COUNT:
            if (context->ConfiguredPipeCount == 0) {
                WdfRequestComplete(request, STATUS_INVALID_DEVICE_STATE);
                return;
            }
            CompleteWithOutput(request, &context->ConfiguredPipeCount, 1);
            return;
        case IOCTL_ADAPTER_GET_ENDPOINT_STATUS:
            GetEndpointStatus(request, context, pipe);
            return;
        default:
            WdfRequestComplete(request, STATUS_INVALID_DEVICE_REQUEST);
            return;
    }
}

}  // namespace brindle
