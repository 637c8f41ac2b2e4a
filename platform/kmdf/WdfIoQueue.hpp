// The device's default queue: presents read, write and control requests to
// the driver's handlers. Only parallel dispatch is provided: every request is
// presented on the caller's thread at once, without a limit.
//
// States, driven by the device's start, stop and removal:
//   holding     a power-managed queue before the first start and while the
//               device is stopped: requests wait, in arrival order, for the
//               start; a queue that is not power-managed dispatches anyway
//   dispatching requests go to the handlers
//   purged      the device failed to start or was removed: waiting requests
//               are cancelled and new ones fail with STATUS_INVALID_DEVICE_STATE
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

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
    bool IsPowerManaged() const { return config_.PowerManaged != WdfFalse; }

    /// Presents `request` to its handler, keeps it while the queue holds, or
    /// completes it: zero-length reads and writes with success and 0 bytes
    /// unless the queue allows them, requests without a handler with
    /// STATUS_INVALID_DEVICE_REQUEST, and any request of a purged queue.
    void Dispatch(WDFREQUEST request);

    /// Presents the waiting requests in arrival order and dispatches from now on.
    void Start();
    /// Holds new requests and returns once no presentation is in progress, so
    /// the hardware can be released under no handler.
    void StopAndHold();
    /// Cancels the waiting requests and refuses new ones; returns once no
    /// presentation is in progress.
    void Purge();
    /// Takes `request` out of the waiting list; false if it is not waiting.
    bool RemoveWaiting(WDFREQUEST request);
    /// Cancels the waiting requests of `file` (its handle is being closed).
    void CancelWaitingOf(WDFFILEOBJECT file);
    std::size_t WaitingCount();

  private:
    enum class State { Holding, Dispatching, Purged };

    void Present(WDFREQUEST request);
    /// Counts a presentation in progress; false (and the request kept or
    /// failed) when the state does not allow one.
    bool Admit(WDFREQUEST request, bool* purged);
    void EndPresentation();
    void WaitForPresentations(std::unique_lock<std::mutex>& lock);
    static void CancelAll(const std::vector<WDFREQUEST>& requests);

    WDFDEVICE device_;
    WDF_IO_QUEUE_CONFIG config_;
    std::mutex mutex_;
    std::condition_variable idle_;
    State state_ = State::Holding;
    unsigned presenting_ = 0;
    std::deque<WDFREQUEST> waiting_;
};

NTSTATUS WdfIoQueueCreate(WDFDEVICE device, const WDF_IO_QUEUE_CONFIG* config,
                          const WDF_OBJECT_ATTRIBUTES* attributes, WDFQUEUE* queue);
WDFDEVICE WdfIoQueueGetDevice(WDFQUEUE queue);

}  // namespace kmdf
