// A simulated USB device on a simulated bus: one configuration with one
// interface whose endpoints are served by a SimUsbFunction. Transfers
// complete asynchronously on the device's own threads, or, when the device
// processes on submit, on the submitting thread whenever the function can
// serve them at once (as a host controller may complete a transfer inside
// the call that sends it); transfers that must wait still complete later on
// the device's threads. Tests can shorten,
// stall, delay, fail, cancel and hold transfers, and the device counts every
// transfer so a test can prove each one completed exactly once.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "platform/kmdf/SimTransfer.hpp"
#include "platform/kmdf/SimUsbFunction.hpp"
#include "platform/kmdf/UsbDescriptors.hpp"

namespace kmdf {

struct SimUsbDeviceConfig {
    UsbDeviceIdentity identity{0x5155, 0x4C01, 0x0100};
    std::vector<UsbEndpointInfo> endpoints;
    unsigned workerThreads = 2;
    /// Serve transfers on the submitting thread instead of handing them over.
    bool processOnSubmit = false;
};

/// Start-up steps whose failure a test can force.
enum class SimStartStep { ConfigDescriptor, SelectConfig, DeviceInformation, Count };

struct TransferRecord {
    UCHAR endpoint = 0;
    ULONG requested = 0;
    ULONG moved = 0;
    NTSTATUS status = STATUS_SUCCESS;
};

struct SimUsbStats {
    std::uint64_t submitted = 0;
    std::uint64_t completed = 0;
    std::uint64_t cancelled = 0;
    std::uint64_t doubleCompletions = 0;
    std::uint64_t malformed = 0;
    std::uint64_t portResets = 0;
    std::uint64_t inDevice = 0;
};

class SimUsbDevice {
  public:
    SimUsbDevice(SimUsbDeviceConfig config, std::shared_ptr<SimUsbFunction> function);
    ~SimUsbDevice();
    SimUsbDevice(const SimUsbDevice&) = delete;
    SimUsbDevice& operator=(const SimUsbDevice&) = delete;

    const SimUsbDeviceConfig& Config() const { return config_; }
    std::vector<std::uint8_t> DeviceDescriptor() const;
    std::vector<std::uint8_t> ConfigDescriptor() const;

    // Bus side, used by the framework.

    /// Queues a transfer. During an abort of its endpoint it completes as
    /// cancelled at once.
    void Submit(const std::shared_ptr<SimTransfer>& transfer);
    /// Cancels the queued, held and waiting transfers of `endpoint`, and every
    /// transfer of it that arrives or would wait until EndAbort.
    void BeginAbort(UCHAR endpoint);
    void EndAbort(UCHAR endpoint);
    /// As BeginAbort/EndAbort for every endpoint and control transfer.
    void BeginAbortAll();
    void EndAbortAll();
    void Cancel(const std::shared_ptr<SimTransfer>& transfer);
    void ClearHalt(UCHAR endpoint);
    bool IsHalted(UCHAR endpoint);
    NTSTATUS ResetPort();
    bool IsConnected();
    NTSTATUS StartFailure(SimStartStep step);

    // Test side.

    /// The next transfer on `endpoint` meets `fault` (faults queue up in order).
    void ScriptFault(UCHAR endpoint, TransferFault fault);
    void SetRandomFaults(const RandomFaultPlan& plan);
    /// When false, control transfers get no answer until cancelled.
    void SetControlAnswers(bool answer);
    void SetProcessOnSubmit(bool processOnSubmit);
    void SetConnected(bool connected);
    void SetResetPortStatus(NTSTATUS status);
    void SetStartFailure(SimStartStep step, NTSTATUS status);
    /// Sends held transfers on (without a new fault).
    void ReleaseHeld();
    std::size_t HeldCount();
    /// Waits (for real, at most `limit`) until `count` transfers are held.
    bool WaitForHeld(std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(10));
    /// Waits (for real, at most `limit`) until no transfer is in the device.
    bool WaitIdle(std::chrono::milliseconds limit = std::chrono::seconds(10));
    /// Retries the transfers the function had no data or room for.
    void NotifyDataReady();
    std::vector<TransferRecord> Log();
    SimUsbStats Stats();

  private:
    struct Entry {
        std::shared_ptr<SimTransfer> transfer;
        bool cancelled = false;
    };

    void WorkerLoop();
    void Process(const std::shared_ptr<SimTransfer>& transfer);
    void ProcessControl(const std::shared_ptr<SimTransfer>& transfer);
    void MoveData(const std::shared_ptr<SimTransfer>& transfer, std::uint32_t limit);
    /// Parks a transfer the function could not serve, unless data became
    /// ready since `readyGeneration` was read (then it is tried again).
    void ParkWaiting(const std::shared_ptr<SimTransfer>& transfer, std::uint64_t readyGeneration);
    TransferFault ChooseFault(UCHAR endpoint);
    bool UrbIsWellFormed(const SimTransfer& transfer);
    void Park(std::deque<std::shared_ptr<SimTransfer>>& list,
              const std::shared_ptr<SimTransfer>& transfer);
    void Requeue(const std::shared_ptr<SimTransfer>& transfer);
    void CancelWhere(bool (*match)(const SimTransfer&, UCHAR), UCHAR endpoint);
    bool IsAbortingLocked(const SimTransfer& transfer) const;
    void Complete(const std::shared_ptr<SimTransfer>& transfer, NTSTATUS status,
                  USBD_STATUS usbdStatus, ULONG bytes);

    const SimUsbDeviceConfig config_;
    const std::shared_ptr<SimUsbFunction> function_;

    std::mutex mutex_;
    std::condition_variable workAvailable_;
    std::condition_variable changed_;
    std::deque<Entry> ready_;
    std::deque<std::shared_ptr<SimTransfer>> held_;
    std::deque<std::shared_ptr<SimTransfer>> waiting_;
    std::deque<std::shared_ptr<SimTransfer>> unanswered_;
    std::map<UCHAR, std::deque<TransferFault>> script_;
    RandomFaultPlan randomPlan_;
    std::mt19937 random_{1};
    std::set<UCHAR> halted_;
    std::multiset<UCHAR> aborting_;
    unsigned abortingAll_ = 0;
    bool answerControls_ = true;
    bool processOnSubmit_;
    bool connected_ = true;
    NTSTATUS resetPortStatus_ = STATUS_SUCCESS;
    NTSTATUS startFailures_[static_cast<int>(SimStartStep::Count)] = {};
    std::uint64_t nextId_ = 1;
    /// Counts NotifyDataReady calls.
    std::uint64_t readyGeneration_ = 0;
    std::vector<TransferRecord> log_;
    SimUsbStats stats_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

/// The adapter's endpoints: bulk IN 0x81 and OUT 0x01 (64-byte packets),
/// interrupt IN 0x82 and OUT 0x02 (16-byte packets, 1 ms). Pipes 0 to 3 in
/// that order.
SimUsbDeviceConfig AdapterDeviceConfig();

}  // namespace kmdf
