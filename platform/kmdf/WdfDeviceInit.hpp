// What a driver sets up before its device object exists.
#pragma once

#include <memory>

#include "platform/kmdf/SimUsbDevice.hpp"
#include "platform/kmdf/WdfConfig.hpp"
#include "platform/kmdf/WdfObjectAttributes.hpp"

namespace kmdf {

struct WdfDeviceInit {
    WDFDRIVER driver = nullptr;
    /// The bus device the new device object will drive.
    std::shared_ptr<SimUsbDevice> physicalDevice;
    WDF_PNPPOWER_EVENT_CALLBACKS pnpPower;
    bool hasRequestAttributes = false;
    WDF_OBJECT_ATTRIBUTES requestAttributes;
    bool hasFileObjectConfig = false;
    WDF_FILEOBJECT_CONFIG fileObjectConfig;
    WDF_OBJECT_ATTRIBUTES fileAttributes;
    WDF_DEVICE_IO_TYPE ioType = WdfDeviceIoBuffered;
    /// Set by WdfDeviceCreate, so the system learns which device was built.
    WDFDEVICE createdDevice = nullptr;
};

void WdfDeviceInitSetPnpPowerEventCallbacks(PWDFDEVICE_INIT init,
                                            const WDF_PNPPOWER_EVENT_CALLBACKS* callbacks);
void WdfDeviceInitSetRequestAttributes(PWDFDEVICE_INIT init,
                                       const WDF_OBJECT_ATTRIBUTES* attributes);
void WdfDeviceInitSetFileObjectConfig(PWDFDEVICE_INIT init, const WDF_FILEOBJECT_CONFIG* config,
                                      const WDF_OBJECT_ATTRIBUTES* attributes);
void WdfDeviceInitSetIoType(PWDFDEVICE_INIT init, WDF_DEVICE_IO_TYPE ioType);

}  // namespace kmdf
