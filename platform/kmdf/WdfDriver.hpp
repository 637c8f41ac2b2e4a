// The framework driver object: the root of every object a driver creates.
#pragma once

#include <memory>

#include "platform/kmdf/WdfConfig.hpp"
#include "platform/kmdf/WdfObject.hpp"

namespace kmdf {

class WdfDriver final : public WdfObject {
  public:
    explicit WdfDriver(const WDF_DRIVER_CONFIG& config) : config_(config) {}
    ~WdfDriver() override { DeleteChildren(); }
    const WDF_DRIVER_CONFIG& Config() const { return config_; }

  private:
    WDF_DRIVER_CONFIG config_;
};

/// What the system hands to a driver's entry point; it owns the framework
/// driver once WdfDriverCreate has run.
struct DRIVER_OBJECT {
    std::unique_ptr<WdfDriver> FrameworkDriver;
};

using PFN_DRIVER_ENTRY = NTSTATUS (*)(PDRIVER_OBJECT driverObject, PCUNICODE_STRING registryPath);

NTSTATUS WdfDriverCreate(PDRIVER_OBJECT driverObject, PCUNICODE_STRING registryPath,
                         const WDF_OBJECT_ATTRIBUTES* attributes, const WDF_DRIVER_CONFIG* config,
                         WDFDRIVER* driver);

}  // namespace kmdf
