#include "platform/kmdf/WdfIoQueue.hpp"

#include <algorithm>

#include "platform/kmdf/Kernel.hpp"
#include "platform/kmdf/WdfDevice.hpp"
#include "platform/kmdf/WdfRequest.hpp"

namespace kmdf {

void WdfIoQueue::Dispatch(WDFREQUEST request) {
    bool purged = false;
    if (!Admit(request, &purged)) {
        if (purged) {
            WdfRequestComplete(request, STATUS_INVALID_DEVICE_STATE);
        }
        return;
    }
    Present(request);
    EndPresentation();
}

bool WdfIoQueue::Admit(WDFREQUEST request, bool* purged) {
    std::lock_guard lock(mutex_);
    if (state_ == State::Purged) {
        *purged = true;
        return false;
    }
    if (state_ == State::Holding && IsPowerManaged()) {
        waiting_.push_back(request);
        return false;
    }
    ++presenting_;
    return true;
}

void WdfIoQueue::EndPresentation() {
    std::lock_guard lock(mutex_);
    if (--presenting_ == 0) {
        idle_.notify_all();
    }
}

void WdfIoQueue::WaitForPresentations(std::unique_lock<std::mutex>& lock) {
    idle_.wait(lock, [&] { return presenting_ == 0; });
}

void WdfIoQueue::Present(WDFREQUEST request) {
    const WDF_REQUEST_PARAMETERS& p = request->parameters;
    const bool readOrWrite = p.Type == WdfRequestTypeRead || p.Type == WdfRequestTypeWrite;
    if (readOrWrite && p.Length == 0 && !config_.AllowZeroLengthRequests) {
        WdfRequestCompleteWithInformation(request, STATUS_SUCCESS, 0);
        return;
    }
    auto present = [&](auto handler, auto&&... args) {
        if (handler == nullptr) {
            WdfRequestComplete(request, STATUS_INVALID_DEVICE_REQUEST);
            return;
        }
        Kernel::Current().UpdateStats([](FrameworkStats& s) { ++s.presentedToDriver; });
        handler(this, request, args...);
    };
    switch (p.Type) {
        case WdfRequestTypeRead:
            present(config_.EvtIoRead, p.Length);
            return;
        case WdfRequestTypeWrite:
            present(config_.EvtIoWrite, p.Length);
            return;
        case WdfRequestTypeDeviceControl:
            present(config_.EvtIoDeviceControl, p.OutputBufferLength, p.InputBufferLength,
                    p.IoControlCode);
            return;
        default:
            WdfRequestComplete(request, STATUS_INVALID_DEVICE_REQUEST);
            return;
    }
}

void WdfIoQueue::Start() {
    std::deque<WDFREQUEST> held;
    {
        std::lock_guard lock(mutex_);
        state_ = State::Dispatching;
        held.swap(waiting_);
        presenting_ += static_cast<unsigned>(held.size());
    }
    for (WDFREQUEST request : held) {
        Present(request);
        EndPresentation();
    }
}

void WdfIoQueue::StopAndHold() {
    std::unique_lock lock(mutex_);
    if (state_ != State::Purged) {
        state_ = State::Holding;
    }
    WaitForPresentations(lock);
}

void WdfIoQueue::Purge() {
    std::vector<WDFREQUEST> held;
    {
        std::unique_lock lock(mutex_);
        state_ = State::Purged;
        held.assign(waiting_.begin(), waiting_.end());
        waiting_.clear();
        WaitForPresentations(lock);
    }
    CancelAll(held);
}

bool WdfIoQueue::RemoveWaiting(WDFREQUEST request) {
    std::lock_guard lock(mutex_);
    auto it = std::find(waiting_.begin(), waiting_.end(), request);
    if (it == waiting_.end()) {
        return false;
    }
    waiting_.erase(it);
    return true;
}

void WdfIoQueue::CancelWaitingOf(WDFFILEOBJECT file) {
    std::vector<WDFREQUEST> cancelled;
    {
        std::lock_guard lock(mutex_);
        for (auto it = waiting_.begin(); it != waiting_.end();) {
            if ((*it)->file == file) {
                cancelled.push_back(*it);
                it = waiting_.erase(it);
            } else {
                ++it;
            }
        }
    }
    CancelAll(cancelled);
}

std::size_t WdfIoQueue::WaitingCount() {
    std::lock_guard lock(mutex_);
    return waiting_.size();
}

void WdfIoQueue::CancelAll(const std::vector<WDFREQUEST>& requests) {
    for (WDFREQUEST request : requests) {
        WdfRequestComplete(request, STATUS_CANCELLED);
    }
}

NTSTATUS WdfIoQueueCreate(WDFDEVICE device, const WDF_IO_QUEUE_CONFIG* config,
                          const WDF_OBJECT_ATTRIBUTES* attributes, WDFQUEUE* queue) {
    *queue = nullptr;
    if (config->DispatchType != WdfIoQueueDispatchParallel) {
        return STATUS_INVALID_PARAMETER;
    }
    if (config->DefaultQueue && device->DefaultQueue() != nullptr) {
        return STATUS_INVALID_DEVICE_STATE;
    }
    *queue = WdfCreateObject<WdfIoQueue>(attributes, device, device, *config);
    if (config->DefaultQueue) {
        device->SetDefaultQueue(*queue);
    }
    return STATUS_SUCCESS;
}

WDFDEVICE WdfIoQueueGetDevice(WDFQUEUE queue) {
    return queue->Device();
}

}  // namespace kmdf
