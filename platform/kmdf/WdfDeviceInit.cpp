#include "platform/kmdf/WdfDeviceInit.hpp"

namespace kmdf {

void WdfDeviceInitSetPnpPowerEventCallbacks(PWDFDEVICE_INIT init,
                                            const WDF_PNPPOWER_EVENT_CALLBACKS* callbacks) {
    init->pnpPower = *callbacks;
}

void WdfDeviceInitSetRequestAttributes(PWDFDEVICE_INIT init,
                                       const WDF_OBJECT_ATTRIBUTES* attributes) {
    init->hasRequestAttributes = true;
    init->requestAttributes = *attributes;
}

void WdfDeviceInitSetFileObjectConfig(PWDFDEVICE_INIT init, const WDF_FILEOBJECT_CONFIG* config,
                                      const WDF_OBJECT_ATTRIBUTES* attributes) {
    init->hasFileObjectConfig = true;
    init->fileObjectConfig = *config;
    init->fileAttributes = attributes != nullptr ? *attributes : WDF_OBJECT_ATTRIBUTES{};
}

void WdfDeviceInitSetIoType(PWDFDEVICE_INIT init, WDF_DEVICE_IO_TYPE ioType) {
    init->ioType = ioType;
}

}  // namespace kmdf
