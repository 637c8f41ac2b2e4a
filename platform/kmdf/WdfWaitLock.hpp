// A lock that may be held while waiting (passive level only).
#pragma once

#include <mutex>

#include "platform/kmdf/WdfObject.hpp"

namespace kmdf {

class WdfWaitLock final : public WdfObject {
  public:
    ~WdfWaitLock() override { DeleteChildren(); }
    std::mutex& Mutex() { return mutex_; }

  private:
    std::mutex mutex_;
};

/// Creates a lock under the attributes' parent (required).
NTSTATUS WdfWaitLockCreate(const WDF_OBJECT_ATTRIBUTES* attributes, WDFWAITLOCK* lock);
/// Waits without limit for the lock (`timeout` must be null); STATUS_SUCCESS.
NTSTATUS WdfWaitLockAcquire(WDFWAITLOCK lock, const LONGLONG* timeout);
void WdfWaitLockRelease(WDFWAITLOCK lock);

}  // namespace kmdf
