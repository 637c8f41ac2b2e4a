// An I/O target: where a driver sends requests. It counts the requests in
// flight (a request counts until its completion routine has returned), and
// once stopped it refuses new sends.
#pragma once

#include <condition_variable>
#include <mutex>

#include "platform/kmdf/WdfConfig.hpp"
#include "platform/kmdf/WdfObject.hpp"

namespace kmdf {

class WdfIoTarget : public WdfObject {
  public:
    ~WdfIoTarget() override { DeleteChildren(); }

    /// Sends `request`; false (with the request's status set) if it cannot.
    virtual bool Send(WDFREQUEST request);
    virtual void Stop(WDF_IO_TARGET_SENT_IO_ACTION action);
    virtual NTSTATUS Start();
    bool IsStopped();
    unsigned InFlight();
    /// Blocks until no request is in flight.
    void WaitUntilIdle();

  protected:
    /// Under the target's lock: counts a send unless the target is stopped.
    bool BeginSendLocked(WDFREQUEST request);
    void EndSend();
    void SetStopped(bool stopped);

    std::mutex mutex_;

  private:
    std::condition_variable idle_;
    bool stopped_ = false;
    unsigned inFlight_ = 0;
};

NTSTATUS WdfIoTargetStart(WDFIOTARGET target);
void WdfIoTargetStop(WDFIOTARGET target, WDF_IO_TARGET_SENT_IO_ACTION action);

}  // namespace kmdf
