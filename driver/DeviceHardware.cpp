#include "driver/Brindle.hpp"
#include "driver/BrindleContexts.hpp"
#include "platform/kmdf/WdfMemory.hpp"
#include "platform/kmdf/WdfUsbTargetDevice.hpp"

namespace brindle {

using namespace kmdf;

namespace {

/// Creates the USB target on the first start; a restart reuses it, so pipe
/// handles bound before a stop never point at deleted pipes.
NTSTATUS AttachUsbTarget(WDFDEVICE device, DEVICE_CONTEXT* context) {
    if (context->UsbTarget != nullptr) {
        return WdfIoTargetStart(WdfUsbTargetDeviceGetIoTarget(context->UsbTarget));
    }
    NTSTATUS status =
        WdfUsbTargetDeviceCreate(device, WDF_NO_OBJECT_ATTRIBUTES, &context->UsbTarget);
    if (!NT_SUCCESS(status)) {
        return status;
    }
    USB_DEVICE_DESCRIPTOR deviceDescriptor;
    WdfUsbTargetDeviceGetDeviceDescriptor(context->UsbTarget, &deviceDescriptor);
    return STATUS_SUCCESS;
}

NTSTATUS CopyConfigDescriptor(DEVICE_CONTEXT* context) {
    USHORT size = 0;
    NTSTATUS status =
        WdfUsbTargetDeviceRetrieveConfigDescriptor(context->UsbTarget, nullptr, &size);
    if (status != STATUS_BUFFER_TOO_SMALL) {
        return status;
    }
    WDF_OBJECT_ATTRIBUTES attributes;
    WDF_OBJECT_ATTRIBUTES_INIT(&attributes);
    attributes.ParentObject = context->UsbTarget;
    WDFMEMORY memory = nullptr;
    PVOID buffer = nullptr;
    status = WdfMemoryCreate(&attributes, POOL_TYPE::NonPagedPool, BRINDLE_POOL_TAG, size, &memory,
                             &buffer);
    if (!NT_SUCCESS(status)) {
        return status;
    }
    status = WdfUsbTargetDeviceRetrieveConfigDescriptor(context->UsbTarget, buffer, &size);
    if (!NT_SUCCESS(status)) {
        WdfObjectDelete(memory);
        return status;
    }
    // A restart replaces the copy of the previous start instead of piling up.
    if (context->ConfigDescriptorMemory != nullptr) {
        WdfObjectDelete(context->ConfigDescriptorMemory);
    }
    context->ConfigDescriptorMemory = memory;
    context->ConfigDescriptorBuffer = static_cast<const std::uint8_t*>(buffer);
    return STATUS_SUCCESS;
}

NTSTATUS SelectSingleInterface(DEVICE_CONTEXT* context) {
    WDF_USB_DEVICE_SELECT_CONFIG_PARAMS params;
    WDF_USB_DEVICE_SELECT_CONFIG_PARAMS_INIT_SINGLE_INTERFACE(&params);
    const NTSTATUS status =
        WdfUsbTargetDeviceSelectConfig(context->UsbTarget, WDF_NO_OBJECT_ATTRIBUTES, &params);
    if (NT_SUCCESS(status) && WdfUsbTargetDeviceGetNumInterfaces(context->UsbTarget) > 0) {
        context->SelectedInterface = params.Types.SingleInterface.ConfiguredUsbInterface;
        context->ConfiguredPipeCount = params.Types.SingleInterface.NumberConfiguredPipes;
    }
    return status;
}

}  // namespace

NTSTATUS EvtDevicePrepareHardware(WDFDEVICE device, WDFCMRESLIST, WDFCMRESLIST) {
    DEVICE_CONTEXT* context = GetDeviceContext(device);
    NTSTATUS status = AttachUsbTarget(device, context);
    if (!NT_SUCCESS(status)) {
        return status;
    }
    status = CopyConfigDescriptor(context);
    if (!NT_SUCCESS(status)) {
        return status;
    }
    status = SelectSingleInterface(context);
    if (!NT_SUCCESS(status)) {
        return status;
    }
    WDF_USB_DEVICE_INFORMATION information;
    WDF_USB_DEVICE_INFORMATION_INIT(&information);
    return WdfUsbTargetDeviceRetrieveInformation(context->UsbTarget, &information);
}

NTSTATUS EvtDeviceReleaseHardware(WDFDEVICE device, WDFCMRESLIST) {
    DEVICE_CONTEXT* context = GetDeviceContext(device);
    if (context->UsbTarget == nullptr) {
        return STATUS_SUCCESS;
    }
    WdfIoTargetStop(WdfUsbTargetDeviceGetIoTarget(context->UsbTarget), WdfIoTargetCancelSentIo);
    WDF_USB_DEVICE_SELECT_CONFIG_PARAMS params;
    WDF_USB_DEVICE_SELECT_CONFIG_PARAMS_INIT_DECONFIG(&params);
    // The open-pipe set stays as it is: the target and its pipes outlive the
    // stop, the handles bound to them stay open and a restart serves them
    // again, so the set must keep refusing a second open of their pipes and
    // keep the owner until the owner's last pipe handle is cleaned up.
    // Stopping the target has already cancelled every pipe's I/O.
    return WdfUsbTargetDeviceSelectConfig(context->UsbTarget, WDF_NO_OBJECT_ATTRIBUTES, &params);
}

}  // namespace brindle
