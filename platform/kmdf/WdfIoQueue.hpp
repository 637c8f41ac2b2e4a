// The device's default queue: presents read, write and control requests to
// the driver's handlers. Only parallel dispatch is provided: every request is
// presented on the caller's thread at once, without a limit.
#pragma once

#include "platform/kmdf/WdfConfig.hpp"
#include "platform/kmdf/WdfObject.hpp"

namespace kmdf {

class WdfIoQueue final : public WdfObject {
  public:
    WdfIoQueue(WDFDEVICE device, const WDF_IO_QUEUE_CONFIG& config)
        : device_(device), config_(config) {}
    ~WdfIoQueue() override { DeleteChildren(); }

    WDFDEVICE Device() const { return device_; }
    const WDF_IO_QUEUE_CONFIG& Config() const { return config_; }
    /// Presents `request` to its handler, or completes it: zero-length reads
    /// and writes with success and 0 bytes unless the queue allows them, and
    /// requests without a handler with STATUS_INVALID_DEVICE_REQUEST.
    void Dispatch(WDFREQUEST request);

  private:
    WDFDEVICE device_;
    WDF_IO_QUEUE_CONFIG config_;
};

NTSTATUS WdfIoQueueCreate(WDFDEVICE device, const WDF_IO_QUEUE_CONFIG* config,
                          const WDF_OBJECT_ATTRIBUTES* attributes, WDFQUEUE* queue);
WDFDEVICE WdfIoQueueGetDevice(WDFQUEUE queue);

}  // namespace kmdf
