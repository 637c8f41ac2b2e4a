#include "platform/kmdf/WdfIoTarget.hpp"

#include "platform/kmdf/WdfRequest.hpp"

namespace kmdf {

bool WdfIoTarget::Send(WDFREQUEST request) {
    request->status = STATUS_INVALID_DEVICE_REQUEST;
    return false;
}

void WdfIoTarget::Stop(WDF_IO_TARGET_SENT_IO_ACTION action) {
    SetStopped(true);
    if (action != WdfIoTargetLeaveSentIoPending) {
        WaitUntilIdle();
    }
}

NTSTATUS WdfIoTarget::Start() {
    SetStopped(false);
    return STATUS_SUCCESS;
}

bool WdfIoTarget::IsStopped() {
    std::lock_guard lock(mutex_);
    return stopped_;
}

unsigned WdfIoTarget::InFlight() {
    std::lock_guard lock(mutex_);
    return inFlight_;
}

bool WdfIoTarget::BeginSendLocked(WDFREQUEST request) {
    if (stopped_) {
        request->status = STATUS_INVALID_DEVICE_STATE;
        return false;
    }
    ++inFlight_;
    request->state.store(WdfRequest::State::Sent);
    return true;
}

void WdfIoTarget::EndSend() {
    std::lock_guard lock(mutex_);
    if (--inFlight_ == 0) {
        idle_.notify_all();
    }
}

void WdfIoTarget::WaitUntilIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [&] { return inFlight_ == 0; });
}

void WdfIoTarget::SetStopped(bool stopped) {
    std::lock_guard lock(mutex_);
    stopped_ = stopped;
}

NTSTATUS WdfIoTargetStart(WDFIOTARGET target) {
    return target->Start();
}

void WdfIoTargetStop(WDFIOTARGET target, WDF_IO_TARGET_SENT_IO_ACTION action) {
    target->Stop(action);
}

}  // namespace kmdf
