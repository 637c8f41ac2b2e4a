#include "platform/kmdf/WdfDriver.hpp"

namespace kmdf {

NTSTATUS WdfDriverCreate(PDRIVER_OBJECT driverObject, PCUNICODE_STRING,
                         const WDF_OBJECT_ATTRIBUTES* attributes, const WDF_DRIVER_CONFIG* config,
                         WDFDRIVER* driver) {
    if (driverObject == nullptr || config == nullptr || driverObject->FrameworkDriver) {
        return STATUS_INVALID_PARAMETER;
    }
    driverObject->FrameworkDriver = std::make_unique<WdfDriver>(*config);
    driverObject->FrameworkDriver->ApplyAttributes(attributes);
    if (driver != nullptr) {
        *driver = driverObject->FrameworkDriver.get();
    }
    return STATUS_SUCCESS;
}

}  // namespace kmdf
