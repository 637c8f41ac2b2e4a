#include "platform/kmdf/WdfUsbTargetDevice.hpp"

#include <algorithm>
#include <cstring>

#include "platform/kmdf/Kernel.hpp"
#include "platform/kmdf/WdfDevice.hpp"
#include "platform/kmdf/WdfUsbInterface.hpp"
#include "platform/kmdf/WdfUsbTargetPipe.hpp"

namespace kmdf {

WdfUsbTargetDevice::WdfUsbTargetDevice(std::shared_ptr<SimUsbDevice> device)
    : device_(std::move(device)), configDescriptor_(device_->ConfigDescriptor()) {}

void WdfUsbTargetDevice::Stop(WDF_IO_TARGET_SENT_IO_ACTION action) {
    SetStopped(true);
    std::vector<WDFUSBPIPE> pipes;
    if (interface_ != nullptr) {
        pipes = interface_->Pipes();
    }
    for (WDFUSBPIPE pipe : pipes) {
        pipe->WdfIoTarget::Stop(WdfIoTargetLeaveSentIoPending);
    }
    if (action == WdfIoTargetCancelSentIo) {
        device_->BeginAbortAll();
    }
    if (action != WdfIoTargetLeaveSentIoPending) {
        for (WDFUSBPIPE pipe : pipes) {
            pipe->WaitUntilIdle();
        }
        WaitUntilIdle();
    }
    if (action == WdfIoTargetCancelSentIo) {
        device_->EndAbortAll();
    }
}

NTSTATUS WdfUsbTargetDevice::Start() {
    if (interface_ != nullptr) {
        for (WDFUSBPIPE pipe : interface_->Pipes()) {
            pipe->Start();
        }
    }
    return WdfIoTarget::Start();
}

NTSTATUS WdfUsbTargetDevice::SelectSingleInterface(WDF_USB_DEVICE_SELECT_CONFIG_PARAMS* params) {
    const UsbConfigurationInfo config = DecodeConfigDescriptor(configDescriptor_);
    if (!config.error.empty()) {
        return STATUS_DEVICE_DATA_ERROR;
    }
    if (config.interfaces.empty()) {
        return STATUS_INVALID_DEVICE_STATE;
    }
    if (interface_ == nullptr) {
        const UsbInterfaceInfo& first = config.interfaces.front();
        interface_ = Adopt(std::make_unique<WdfUsbInterface>(first.number, first.alternateSetting));
        for (const UsbEndpointInfo& endpoint : first.endpoints) {
            interface_->AddPipe(interface_->Adopt(
                std::make_unique<WdfUsbTargetPipe>(device_, endpoint, first.alternateSetting)));
        }
    }
    interface_->SetConfigured(true);
    params->Types.SingleInterface.ConfiguredUsbInterface = interface_;
    params->Types.SingleInterface.NumberConfiguredPipes =
        static_cast<UCHAR>(interface_->Pipes().size());
    return STATUS_SUCCESS;
}

NTSTATUS WdfUsbTargetDevice::Deconfigure() {
    if (interface_ != nullptr) {
        interface_->SetConfigured(false);
    }
    return STATUS_SUCCESS;
}

UCHAR WdfUsbTargetDevice::InterfaceCount() const {
    return static_cast<UCHAR>(DecodeConfigDescriptor(configDescriptor_).interfaces.size());
}

NTSTATUS WdfUsbTargetDevice::ControlTransfer(const WDF_REQUEST_SEND_OPTIONS* options,
                                             const UsbSetupPacket& setup,
                                             WDF_MEMORY_DESCRIPTOR* memory,
                                             ULONG* bytesTransferred) {
    if (IsStopped()) {
        return STATUS_INVALID_DEVICE_STATE;
    }
    auto transfer = std::make_shared<SimTransfer>();
    transfer->kind = SimTransfer::Kind::Control;
    transfer->setup = setup;
    transfer->setup.wLength = static_cast<USHORT>(memory != nullptr ? memory->Length : 0);
    if ((setup.bmRequestType & 0x80) == 0 && memory != nullptr) {
        const auto* bytes = static_cast<const std::uint8_t*>(memory->Buffer);
        transfer->controlData.assign(bytes, bytes + memory->Length);
    }
    auto done = std::make_shared<OneShotEvent>();
    transfer->onComplete = [done](SimTransfer&) { done->Signal(); };
    device_->Submit(transfer);
    std::chrono::nanoseconds timeout = std::chrono::hours(24 * 365);
    if (options != nullptr && (options->Flags & WDF_REQUEST_SEND_OPTION_TIMEOUT) != 0 &&
        options->Timeout < 0) {
        timeout = std::chrono::nanoseconds(-options->Timeout * 100);
    }
    if (!Kernel::Current().GetWaiter().WaitFor(done, timeout)) {
        // The answer must not land in the caller's buffer after we return.
        device_->Cancel(transfer);
        done->Wait();
        return STATUS_IO_TIMEOUT;
    }
    if ((setup.bmRequestType & 0x80) != 0 && memory != nullptr && NT_SUCCESS(transfer->status)) {
        const std::size_t count = std::min<std::size_t>(transfer->bytes, memory->Length);
        std::memcpy(memory->Buffer, transfer->controlData.data(), count);
    }
    if (bytesTransferred != nullptr) {
        *bytesTransferred = transfer->bytes;
    }
    return transfer->status;
}

NTSTATUS WdfUsbTargetDeviceCreate(WDFDEVICE device, const WDF_OBJECT_ATTRIBUTES* attributes,
                                  WDFUSBDEVICE* usbDevice) {
    *usbDevice = nullptr;
    if (!device->PhysicalDevice()) {
        return STATUS_INVALID_DEVICE_REQUEST;
    }
    *usbDevice = WdfCreateObject<WdfUsbTargetDevice>(attributes, device, device->PhysicalDevice());
    return STATUS_SUCCESS;
}

void WdfUsbTargetDeviceGetDeviceDescriptor(WDFUSBDEVICE usbDevice,
                                           USB_DEVICE_DESCRIPTOR* descriptor) {
    *descriptor = DecodeDeviceDescriptor(usbDevice->Bus().DeviceDescriptor());
}

NTSTATUS WdfUsbTargetDeviceRetrieveConfigDescriptor(WDFUSBDEVICE usbDevice, PVOID buffer,
                                                    USHORT* size) {
    const NTSTATUS failure = usbDevice->Bus().StartFailure(SimStartStep::ConfigDescriptor);
    if (!NT_SUCCESS(failure)) {
        return failure;
    }
    const auto& set = usbDevice->ConfigDescriptor();
    if (buffer == nullptr || *size < set.size()) {
        *size = static_cast<USHORT>(set.size());
        return STATUS_BUFFER_TOO_SMALL;
    }
    std::memcpy(buffer, set.data(), set.size());
    *size = static_cast<USHORT>(set.size());
    return STATUS_SUCCESS;
}

NTSTATUS WdfUsbTargetDeviceSelectConfig(WDFUSBDEVICE usbDevice, const WDF_OBJECT_ATTRIBUTES*,
                                        WDF_USB_DEVICE_SELECT_CONFIG_PARAMS* params) {
    const NTSTATUS failure = usbDevice->Bus().StartFailure(SimStartStep::SelectConfig);
    if (!NT_SUCCESS(failure)) {
        return failure;
    }
    switch (params->Type) {
        case WdfUsbTargetDeviceSelectConfigTypeSingleInterface:
            return usbDevice->SelectSingleInterface(params);
        case WdfUsbTargetDeviceSelectConfigTypeDeconfig:
            return usbDevice->Deconfigure();
        default:
            return STATUS_INVALID_PARAMETER;
    }
}

UCHAR WdfUsbTargetDeviceGetNumInterfaces(WDFUSBDEVICE usbDevice) {
    return usbDevice->InterfaceCount();
}

NTSTATUS WdfUsbTargetDeviceRetrieveInformation(WDFUSBDEVICE usbDevice,
                                               WDF_USB_DEVICE_INFORMATION* information) {
    const NTSTATUS failure = usbDevice->Bus().StartFailure(SimStartStep::DeviceInformation);
    if (!NT_SUCCESS(failure)) {
        return failure;
    }
    WDF_USB_DEVICE_INFORMATION_INIT(information);
    information->UsbdVersionInformation.USBDI_Version = 0x600;
    information->UsbdVersionInformation.Supported_USB_Version = 0x200;
    return STATUS_SUCCESS;
}

NTSTATUS WdfUsbTargetDeviceIsConnectedSynchronous(WDFUSBDEVICE usbDevice) {
    return usbDevice->Bus().IsConnected() ? STATUS_SUCCESS : STATUS_DEVICE_NOT_CONNECTED;
}

NTSTATUS WdfUsbTargetDeviceResetPortSynchronously(WDFUSBDEVICE usbDevice) {
    return usbDevice->Bus().ResetPort();
}

NTSTATUS WdfUsbTargetDeviceSendControlTransferSynchronously(
    WDFUSBDEVICE usbDevice, WDFREQUEST, const WDF_REQUEST_SEND_OPTIONS* options,
    const WDF_USB_CONTROL_SETUP_PACKET* setupPacket, WDF_MEMORY_DESCRIPTOR* memoryDescriptor,
    ULONG* bytesTransferred) {
    return usbDevice->ControlTransfer(options, setupPacket->Packet, memoryDescriptor,
                                      bytesTransferred);
}

WDFIOTARGET WdfUsbTargetDeviceGetIoTarget(WDFUSBDEVICE usbDevice) {
    return usbDevice;
}

}  // namespace kmdf
