// The framework device object: the driver's device, its callbacks, its
// default queue and the requests presented to it.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/kmdf/SimUsbDevice.hpp"
#include "platform/kmdf/WdfDeviceInit.hpp"
#include "platform/kmdf/WdfObject.hpp"
#include "platform/kmdf/WdfRequest.hpp"

namespace kmdf {

class WdfDevice final : public WdfObject {
  public:
    explicit WdfDevice(const WdfDeviceInit& init);
    ~WdfDevice() override;

    const std::shared_ptr<SimUsbDevice>& PhysicalDevice() const { return init_.physicalDevice; }
    const WdfDeviceInit& Setup() const { return init_; }
    WDF_DEVICE_IO_TYPE IoType() const { return init_.ioType; }
    WDFQUEUE DefaultQueue() const { return defaultQueue_; }
    void SetDefaultQueue(WDFQUEUE queue) { defaultQueue_ = queue; }
    void SetPnpCapabilities(const WDF_DEVICE_PNP_CAPABILITIES& caps) { caps_ = caps; }
    const WDF_DEVICE_PNP_CAPABILITIES& PnpCapabilities() const { return caps_; }
    void AddInterface(const GUID& guid) { interfaces_.push_back(guid); }
    const std::vector<GUID>& Interfaces() const { return interfaces_; }

    /// Creates a request for `file` carrying the device's request context,
    /// issued by the user thread `issuingThread` (0: none).
    WDFREQUEST CreateRequest(WDFFILEOBJECT file, const WDF_REQUEST_PARAMETERS& parameters,
                             RequestSink sink, std::uint64_t issuingThread = 0);
    /// Completes and deletes `request`; faults (second completion, completion
    /// while sent) are counted and otherwise ignored.
    void CompleteRequest(WDFREQUEST request, NTSTATUS status, std::optional<ULONG_PTR> information);
    std::size_t LiveRequests();
    /// Cancels the live requests `match` selects: a request waiting in the
    /// queue completes with STATUS_CANCELLED at once, one at a target has its
    /// transfer cancelled, one the driver holds is cancelled when it reaches
    /// a target. Returns how many were newly cancelled.
    std::size_t CancelRequests(const std::function<bool(const WdfRequest&)>& match);

  private:
    std::unique_ptr<WdfRequest> TakeForCompletion(WDFREQUEST request);

    WdfDeviceInit init_;
    WDFQUEUE defaultQueue_ = nullptr;
    WDF_DEVICE_PNP_CAPABILITIES caps_;
    std::vector<GUID> interfaces_;
    std::mutex requestsMutex_;
    std::unordered_map<WDFREQUEST, std::unique_ptr<WdfRequest>> requests_;
};

/// Creates the device from `*deviceInit` (which is consumed and set to null).
NTSTATUS WdfDeviceCreate(PWDFDEVICE_INIT* deviceInit, const WDF_OBJECT_ATTRIBUTES* attributes,
                         WDFDEVICE* device);
void WdfDeviceSetPnpCapabilities(WDFDEVICE device, const WDF_DEVICE_PNP_CAPABILITIES* caps);
/// Registers a device interface; reference strings are not supported.
NTSTATUS WdfDeviceCreateDeviceInterface(WDFDEVICE device, const GUID* interfaceClass,
                                        PCUNICODE_STRING referenceString);
WDFQUEUE WdfDeviceGetDefaultQueue(WDFDEVICE device);

}  // namespace kmdf
