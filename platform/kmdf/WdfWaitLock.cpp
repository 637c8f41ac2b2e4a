#include "platform/kmdf/WdfWaitLock.hpp"

#include <cassert>

namespace kmdf {

NTSTATUS WdfWaitLockCreate(const WDF_OBJECT_ATTRIBUTES* attributes, WDFWAITLOCK* lock) {
    *lock = nullptr;
    if (attributes == nullptr || attributes->ParentObject == nullptr) {
        return STATUS_INVALID_PARAMETER;
    }
    *lock = WdfCreateObject<WdfWaitLock>(attributes, nullptr);
    return STATUS_SUCCESS;
}

NTSTATUS WdfWaitLockAcquire(WDFWAITLOCK lock, const LONGLONG* timeout) {
    assert(timeout == nullptr && "timed waits on a wait lock are not supported");
    (void)timeout;
    lock->Mutex().lock();
    return STATUS_SUCCESS;
}

void WdfWaitLockRelease(WDFWAITLOCK lock) {
    lock->Mutex().unlock();
}

}  // namespace kmdf
