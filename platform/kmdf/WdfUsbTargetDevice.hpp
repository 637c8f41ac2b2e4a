// The USB target device: the framework's view of the bus device behind a
// device object. Its descriptors, configuration selection, port reset,
// connection test and synchronous control transfers. Stopping it stops and
// cancels the I/O of all its pipes.
#pragma once

#include <memory>
#include <vector>

#include "platform/kmdf/SimUsbDevice.hpp"
#include "platform/kmdf/UsbDescriptors.hpp"
#include "platform/kmdf/WdfIoTarget.hpp"

namespace kmdf {

class WdfUsbTargetDevice final : public WdfIoTarget {
  public:
    explicit WdfUsbTargetDevice(std::shared_ptr<SimUsbDevice> device);
    ~WdfUsbTargetDevice() override { DeleteChildren(); }

    void Stop(WDF_IO_TARGET_SENT_IO_ACTION action) override;
    NTSTATUS Start() override;

    SimUsbDevice& Bus() { return *device_; }
    const std::vector<std::uint8_t>& ConfigDescriptor() const { return configDescriptor_; }
    NTSTATUS SelectSingleInterface(WDF_USB_DEVICE_SELECT_CONFIG_PARAMS* params);
    NTSTATUS Deconfigure();
    UCHAR InterfaceCount() const;
    NTSTATUS ControlTransfer(const WDF_REQUEST_SEND_OPTIONS* options, const UsbSetupPacket& setup,
                             WDF_MEMORY_DESCRIPTOR* memory, ULONG* bytesTransferred);

  private:
    std::shared_ptr<SimUsbDevice> device_;
    std::vector<std::uint8_t> configDescriptor_;
    WDFUSBINTERFACE interface_ = nullptr;
};

/// Creates the USB target device of `device` (under `device` unless the
/// attributes name another parent).
NTSTATUS WdfUsbTargetDeviceCreate(WDFDEVICE device, const WDF_OBJECT_ATTRIBUTES* attributes,
                                  WDFUSBDEVICE* usbDevice);
void WdfUsbTargetDeviceGetDeviceDescriptor(WDFUSBDEVICE usbDevice,
                                           USB_DEVICE_DESCRIPTOR* descriptor);
/// Copies the configuration descriptor set into `buffer`. With no buffer or
/// one smaller than the set: STATUS_BUFFER_TOO_SMALL and `*size` set to the
/// set's length.
NTSTATUS WdfUsbTargetDeviceRetrieveConfigDescriptor(WDFUSBDEVICE usbDevice, PVOID buffer,
                                                    USHORT* size);
NTSTATUS WdfUsbTargetDeviceSelectConfig(WDFUSBDEVICE usbDevice,
                                        const WDF_OBJECT_ATTRIBUTES* pipeAttributes,
                                        WDF_USB_DEVICE_SELECT_CONFIG_PARAMS* params);
UCHAR WdfUsbTargetDeviceGetNumInterfaces(WDFUSBDEVICE usbDevice);
NTSTATUS WdfUsbTargetDeviceRetrieveInformation(WDFUSBDEVICE usbDevice,
                                               WDF_USB_DEVICE_INFORMATION* information);
NTSTATUS WdfUsbTargetDeviceIsConnectedSynchronous(WDFUSBDEVICE usbDevice);
NTSTATUS WdfUsbTargetDeviceResetPortSynchronously(WDFUSBDEVICE usbDevice);
/// Sends a control transfer and waits for it, at most for the options'
/// time-out (then it is cancelled and STATUS_IO_TIMEOUT returned).
NTSTATUS WdfUsbTargetDeviceSendControlTransferSynchronously(
    WDFUSBDEVICE usbDevice, WDFREQUEST request, const WDF_REQUEST_SEND_OPTIONS* options,
    const WDF_USB_CONTROL_SETUP_PACKET* setupPacket, WDF_MEMORY_DESCRIPTOR* memoryDescriptor,
    ULONG* bytesTransferred);
WDFIOTARGET WdfUsbTargetDeviceGetIoTarget(WDFUSBDEVICE usbDevice);

}  // namespace kmdf
