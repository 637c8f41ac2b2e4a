#include "platform/kmdf/SimUsbDevice.hpp"

#include <algorithm>

#include "platform/kmdf/Kernel.hpp"

namespace kmdf {

namespace {

constexpr UCHAR GET_STATUS = 0;
constexpr UCHAR TO_HOST_STANDARD_ENDPOINT = 0x82;
constexpr UCHAR TO_HOST_STANDARD_DEVICE = 0x80;

bool SameEndpoint(const SimTransfer& transfer, UCHAR endpoint) {
    return transfer.kind == SimTransfer::Kind::BulkOrInterrupt && transfer.endpoint == endpoint;
}

bool Anything(const SimTransfer&, UCHAR) {
    return true;
}

}  // namespace

SimUsbDeviceConfig AdapterDeviceConfig() {
    SimUsbDeviceConfig config;
    config.endpoints = {
        {0x81, UsbEndpointType::Bulk, 64, 0},
        {0x01, UsbEndpointType::Bulk, 64, 0},
        {0x82, UsbEndpointType::Interrupt, 16, 1},
        {0x02, UsbEndpointType::Interrupt, 16, 1},
    };
    return config;
}

SimUsbDevice::SimUsbDevice(SimUsbDeviceConfig config, std::shared_ptr<SimUsbFunction> function)
    : config_(std::move(config)),
      function_(std::move(function)),
      processOnSubmit_(config_.processOnSubmit) {
    for (unsigned i = 0; i < std::max(1U, config_.workerThreads); ++i) {
        workers_.emplace_back([this] { WorkerLoop(); });
    }
}

SimUsbDevice::~SimUsbDevice() {
    BeginAbortAll();
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    workAvailable_.notify_all();
    for (std::thread& worker : workers_) {
        worker.join();
    }
}

std::vector<std::uint8_t> SimUsbDevice::DeviceDescriptor() const {
    return EncodeDeviceDescriptor(config_.identity);
}

std::vector<std::uint8_t> SimUsbDevice::ConfigDescriptor() const {
    return EncodeConfigDescriptor(config_.endpoints);
}

void SimUsbDevice::Submit(const std::shared_ptr<SimTransfer>& transfer) {
    {
        std::lock_guard lock(mutex_);
        transfer->id = nextId_++;
        ++stats_.submitted;
        ++stats_.inDevice;
        const bool cancelled = IsAbortingLocked(*transfer);
        if (!processOnSubmit_ || cancelled) {
            ready_.push_back(Entry{transfer, cancelled});
            workAvailable_.notify_one();
            return;
        }
    }
    Process(transfer);
}

void SimUsbDevice::WorkerLoop() {
    for (;;) {
        Entry entry;
        {
            std::unique_lock lock(mutex_);
            workAvailable_.wait(lock, [&] { return stopping_ || !ready_.empty(); });
            if (ready_.empty()) {
                return;
            }
            entry = std::move(ready_.front());
            ready_.pop_front();
        }
        if (entry.cancelled) {
            Complete(entry.transfer, STATUS_CANCELLED, USBD_STATUS_CANCELED, 0);
        } else {
            Process(entry.transfer);
        }
    }
}

TransferFault SimUsbDevice::ChooseFault(UCHAR endpoint) {
    std::lock_guard lock(mutex_);
    auto it = script_.find(endpoint);
    if (it != script_.end() && !it->second.empty()) {
        TransferFault fault = it->second.front();
        it->second.pop_front();
        return fault;
    }
    const RandomFaultPlan& p = randomPlan_;
    unsigned roll = std::uniform_int_distribution<unsigned>(0, 999)(random_);
    const std::pair<unsigned, TransferFault> table[] = {
        {p.shortPerMille,
         TransferFault::Short(std::uniform_int_distribution<std::uint32_t>(0, 512)(random_))},
        {p.stallPerMille, TransferFault::Stall()},
        {p.failPerMille, TransferFault::Fail(STATUS_UNSUCCESSFUL)},
        {p.cancelPerMille, TransferFault::Cancel()},
        {p.delayPerMille, TransferFault::Delay(1 + roll % 3)},
        {p.holdPerMille, TransferFault::Hold()},
    };
    for (const auto& [perMille, fault] : table) {
        if (roll < perMille) {
            return fault;
        }
        roll -= perMille;
    }
    return TransferFault{};
}

void SimUsbDevice::Process(const std::shared_ptr<SimTransfer>& transfer) {
    if (transfer->kind == SimTransfer::Kind::Control) {
        ProcessControl(transfer);
        return;
    }
    if (!transfer->faultChosen) {
        transfer->fault = ChooseFault(transfer->endpoint);
        transfer->faultChosen = true;
    }
    const TransferFault& fault = transfer->fault;
    switch (fault.kind) {
        case TransferFault::Kind::Delay:
            if (transfer->roundsDelayed++ < fault.delayRounds) {
                Requeue(transfer);
                return;
            }
            MoveData(transfer, UINT32_MAX);
            return;
        case TransferFault::Kind::Hold:
            Park(held_, transfer);
            return;
        case TransferFault::Kind::Stall: {
            std::lock_guard lock(mutex_);
            halted_.insert(transfer->endpoint);
        }
            Complete(transfer, STATUS_UNSUCCESSFUL, USBD_STATUS_STALL_PID, 0);
            return;
        case TransferFault::Kind::Fail:
            Complete(transfer, fault.failStatus, USBD_STATUS_DEV_NOT_RESPONDING, 0);
            return;
        case TransferFault::Kind::Cancel:
            Complete(transfer, STATUS_CANCELLED, USBD_STATUS_CANCELED, 0);
            return;
        case TransferFault::Kind::Short:
            MoveData(transfer, fault.shortLength);
            return;
        case TransferFault::Kind::None:
            MoveData(transfer, UINT32_MAX);
            return;
    }
}

bool SimUsbDevice::UrbIsWellFormed(const SimTransfer& transfer) {
    const URB_BULK_OR_INTERRUPT_TRANSFER* urb = transfer.urb;
    if (urb == nullptr || urb->Hdr.Length != sizeof(URB_BULK_OR_INTERRUPT_TRANSFER) ||
        urb->Hdr.Function != URB_FUNCTION_BULK_OR_INTERRUPT_TRANSFER ||
        urb->PipeHandle != transfer.expectedPipe || urb->TransferBuffer != nullptr ||
        urb->UrbLink != nullptr || urb->TransferBufferMDL == nullptr) {
        return false;
    }
    const bool directionIn = (urb->TransferFlags & USBD_TRANSFER_DIRECTION_IN) != 0;
    const bool endpointIn = (transfer.endpoint & 0x80) != 0;
    return directionIn == endpointIn && Kernel::Current().Mdls().IsLive(urb->TransferBufferMDL) &&
           urb->TransferBufferLength <= urb->TransferBufferMDL->ByteCount;
}

void SimUsbDevice::MoveData(const std::shared_ptr<SimTransfer>& transfer, std::uint32_t limit) {
    std::uint64_t readyGeneration = 0;
    {
        std::unique_lock lock(mutex_);
        readyGeneration = readyGeneration_;
        if (!connected_) {
            lock.unlock();
            Complete(transfer, STATUS_DEVICE_NOT_CONNECTED, USBD_STATUS_DEV_NOT_RESPONDING, 0);
            return;
        }
        if (halted_.count(transfer->endpoint) != 0) {
            lock.unlock();
            Complete(transfer, STATUS_UNSUCCESSFUL, USBD_STATUS_ENDPOINT_HALTED, 0);
            return;
        }
    }
    if (!UrbIsWellFormed(*transfer)) {
        {
            std::lock_guard lock(mutex_);
            ++stats_.malformed;
        }
        Complete(transfer, STATUS_INVALID_PARAMETER, USBD_STATUS_INVALID_PARAMETER, 0);
        return;
    }
    URB_BULK_OR_INTERRUPT_TRANSFER* urb = transfer->urb;
    auto* data = static_cast<std::uint8_t*>(
        MmGetSystemAddressForMdlSafe(urb->TransferBufferMDL, MM_PAGE_PRIORITY::NormalPagePriority));
    const std::size_t length = std::min<std::size_t>(urb->TransferBufferLength, limit);
    std::optional<std::size_t> moved =
        (transfer->endpoint & 0x80) != 0
            ? function_->ReadIn(transfer->endpoint, std::span<std::uint8_t>(data, length))
            : function_->WriteOut(transfer->endpoint, std::span<const std::uint8_t>(data, length));
    if (!moved) {
        ParkWaiting(transfer, readyGeneration);
        return;
    }
    Complete(transfer, STATUS_SUCCESS, USBD_STATUS_SUCCESS,
             static_cast<ULONG>(std::min(*moved, length)));
}

void SimUsbDevice::ProcessControl(const std::shared_ptr<SimTransfer>& transfer) {
    const UsbSetupPacket& setup = transfer->setup;
    std::optional<std::vector<std::uint8_t>> answer;
    {
        std::unique_lock lock(mutex_);
        if (!answerControls_) {
            lock.unlock();
            Park(unanswered_, transfer);
            return;
        }
        if (setup.bRequest == GET_STATUS && setup.bmRequestType == TO_HOST_STANDARD_ENDPOINT) {
            const auto endpoint = static_cast<UCHAR>(setup.wIndex);
            const bool known = std::any_of(config_.endpoints.begin(), config_.endpoints.end(),
                                           [&](const auto& e) { return e.address == endpoint; });
            if (known) {
                answer = std::vector<std::uint8_t>{
                    static_cast<std::uint8_t>(halted_.count(endpoint) != 0 ? 1 : 0), 0};
            }
        } else if (setup.bRequest == GET_STATUS && setup.bmRequestType == TO_HOST_STANDARD_DEVICE) {
            answer = std::vector<std::uint8_t>{0, 0};
        }
    }
    if (!answer && (setup.bmRequestType & 0x60) != 0) {
        answer = function_->Control(setup, transfer->controlData);
    }
    if (!answer) {
        Complete(transfer, STATUS_UNSUCCESSFUL, USBD_STATUS_STALL_PID, 0);
        return;
    }
    if ((setup.bmRequestType & 0x80) != 0) {
        answer->resize(std::min<std::size_t>(answer->size(), setup.wLength));
        transfer->controlData = *answer;
    }
    Complete(transfer, STATUS_SUCCESS, USBD_STATUS_SUCCESS,
             static_cast<ULONG>(transfer->controlData.size()));
}

void SimUsbDevice::Park(std::deque<std::shared_ptr<SimTransfer>>& list,
                        const std::shared_ptr<SimTransfer>& transfer) {
    std::lock_guard lock(mutex_);
    // A transfer that was being worked on when its abort or cancel began
    // must not start waiting after the lists were swept.
    if (IsAbortingLocked(*transfer)) {
        ready_.push_front(Entry{transfer, true});
        workAvailable_.notify_one();
        return;
    }
    list.push_back(transfer);
    changed_.notify_all();
}

void SimUsbDevice::ParkWaiting(const std::shared_ptr<SimTransfer>& transfer,
                               std::uint64_t readyGeneration) {
    std::lock_guard lock(mutex_);
    const bool cancelled = IsAbortingLocked(*transfer);
    // Told of new data or room while it said "not yet": try it again.
    if (cancelled || readyGeneration != readyGeneration_) {
        ready_.push_front(Entry{transfer, cancelled});
        workAvailable_.notify_one();
        return;
    }
    waiting_.push_back(transfer);
    changed_.notify_all();
}

bool SimUsbDevice::IsAbortingLocked(const SimTransfer& transfer) const {
    return transfer.cancelRequested || abortingAll_ > 0 ||
           (transfer.kind == SimTransfer::Kind::BulkOrInterrupt &&
            aborting_.count(transfer.endpoint) != 0);
}

void SimUsbDevice::Requeue(const std::shared_ptr<SimTransfer>& transfer) {
    std::lock_guard lock(mutex_);
    ready_.push_back(Entry{transfer, IsAbortingLocked(*transfer)});
    workAvailable_.notify_one();
}

void SimUsbDevice::CancelWhere(bool (*match)(const SimTransfer&, UCHAR), UCHAR endpoint) {
    std::lock_guard lock(mutex_);
    for (Entry& entry : ready_) {
        if (match(*entry.transfer, endpoint)) {
            entry.cancelled = true;
        }
    }
    for (auto* list : {&held_, &waiting_, &unanswered_}) {
        for (auto it = list->begin(); it != list->end();) {
            if (match(**it, endpoint)) {
                ready_.push_front(Entry{*it, true});
                it = list->erase(it);
            } else {
                ++it;
            }
        }
    }
    workAvailable_.notify_all();
}

void SimUsbDevice::BeginAbort(UCHAR endpoint) {
    {
        std::lock_guard lock(mutex_);
        aborting_.insert(endpoint);
    }
    CancelWhere(SameEndpoint, endpoint);
}

void SimUsbDevice::EndAbort(UCHAR endpoint) {
    std::lock_guard lock(mutex_);
    auto it = aborting_.find(endpoint);
    if (it != aborting_.end()) {
        aborting_.erase(it);
    }
}

void SimUsbDevice::BeginAbortAll() {
    {
        std::lock_guard lock(mutex_);
        ++abortingAll_;
    }
    CancelWhere(Anything, 0);
}

void SimUsbDevice::EndAbortAll() {
    std::lock_guard lock(mutex_);
    if (abortingAll_ > 0) {
        --abortingAll_;
    }
}

void SimUsbDevice::Cancel(const std::shared_ptr<SimTransfer>& transfer) {
    std::lock_guard lock(mutex_);
    transfer->cancelRequested = true;
    for (Entry& entry : ready_) {
        if (entry.transfer == transfer) {
            entry.cancelled = true;
        }
    }
    for (auto* list : {&held_, &waiting_, &unanswered_}) {
        auto it = std::find(list->begin(), list->end(), transfer);
        if (it != list->end()) {
            list->erase(it);
            ready_.push_front(Entry{transfer, true});
        }
    }
    workAvailable_.notify_all();
}

void SimUsbDevice::Complete(const std::shared_ptr<SimTransfer>& transfer, NTSTATUS status,
                            USBD_STATUS usbdStatus, ULONG bytes) {
    {
        std::lock_guard lock(mutex_);
        if (transfer->completions.fetch_add(1) != 0) {
            ++stats_.doubleCompletions;
            return;
        }
        transfer->status = status;
        transfer->usbdStatus = usbdStatus;
        transfer->bytes = bytes;
        if (transfer->urb != nullptr) {
            log_.push_back(TransferRecord{transfer->endpoint, transfer->urb->TransferBufferLength,
                                          bytes, status});
            transfer->urb->Hdr.Status = usbdStatus;
            transfer->urb->TransferBufferLength = bytes;
        }
        ++stats_.completed;
        stats_.cancelled += status == STATUS_CANCELLED ? 1 : 0;
    }
    if (transfer->onComplete) {
        transfer->onComplete(*transfer);
    }
    std::lock_guard lock(mutex_);
    --stats_.inDevice;
    changed_.notify_all();
}

void SimUsbDevice::ClearHalt(UCHAR endpoint) {
    std::lock_guard lock(mutex_);
    halted_.erase(endpoint);
}

bool SimUsbDevice::IsHalted(UCHAR endpoint) {
    std::lock_guard lock(mutex_);
    return halted_.count(endpoint) != 0;
}

NTSTATUS SimUsbDevice::ResetPort() {
    std::lock_guard lock(mutex_);
    ++stats_.portResets;
    if (NT_SUCCESS(resetPortStatus_)) {
        halted_.clear();
    }
    return resetPortStatus_;
}

bool SimUsbDevice::IsConnected() {
    std::lock_guard lock(mutex_);
    return connected_;
}

NTSTATUS SimUsbDevice::StartFailure(SimStartStep step) {
    std::lock_guard lock(mutex_);
    return startFailures_[static_cast<int>(step)];
}

void SimUsbDevice::ScriptFault(UCHAR endpoint, TransferFault fault) {
    std::lock_guard lock(mutex_);
    script_[endpoint].push_back(fault);
}

void SimUsbDevice::SetRandomFaults(const RandomFaultPlan& plan) {
    std::lock_guard lock(mutex_);
    randomPlan_ = plan;
    random_.seed(plan.seed);
}

void SimUsbDevice::SetControlAnswers(bool answer) {
    std::lock_guard lock(mutex_);
    answerControls_ = answer;
}

void SimUsbDevice::SetProcessOnSubmit(bool processOnSubmit) {
    std::lock_guard lock(mutex_);
    processOnSubmit_ = processOnSubmit;
}

void SimUsbDevice::SetConnected(bool connected) {
    std::lock_guard lock(mutex_);
    connected_ = connected;
}

void SimUsbDevice::SetResetPortStatus(NTSTATUS status) {
    std::lock_guard lock(mutex_);
    resetPortStatus_ = status;
}

void SimUsbDevice::SetStartFailure(SimStartStep step, NTSTATUS status) {
    std::lock_guard lock(mutex_);
    startFailures_[static_cast<int>(step)] = status;
}

void SimUsbDevice::ReleaseHeld() {
    std::lock_guard lock(mutex_);
    for (auto& transfer : held_) {
        transfer->fault = TransferFault{};
        ready_.push_back(Entry{transfer, false});
    }
    held_.clear();
    workAvailable_.notify_all();
}

std::size_t SimUsbDevice::HeldCount() {
    std::lock_guard lock(mutex_);
    return held_.size() + unanswered_.size();
}

bool SimUsbDevice::WaitForHeld(std::size_t count, std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit,
                             [&] { return held_.size() + unanswered_.size() >= count; });
}

bool SimUsbDevice::WaitIdle(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return stats_.inDevice == 0; });
}

void SimUsbDevice::NotifyDataReady() {
    std::lock_guard lock(mutex_);
    ++readyGeneration_;
    for (auto& transfer : waiting_) {
        ready_.push_back(Entry{transfer, false});
    }
    waiting_.clear();
    workAvailable_.notify_all();
}

std::vector<TransferRecord> SimUsbDevice::Log() {
    std::lock_guard lock(mutex_);
    return log_;
}

SimUsbStats SimUsbDevice::Stats() {
    std::lock_guard lock(mutex_);
    return stats_;
}

}  // namespace kmdf
