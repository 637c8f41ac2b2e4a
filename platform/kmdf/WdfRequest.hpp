// A request: one I/O call presented to the driver, owned by it from the
// handler until it completes the request exactly once. Between a send and
// the send's completion it belongs to the I/O target.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <vector>

#include "platform/kmdf/Mdl.hpp"
#include "platform/kmdf/WdfConfig.hpp"
#include "platform/kmdf/WdfObject.hpp"

namespace kmdf {

/// Receives the final status and information of a request.
using RequestSink = std::function<void(NTSTATUS status, ULONG_PTR information)>;

class WdfRequest final : public WdfObject {
  public:
    enum class State { Presented, Sent };

    WdfRequest(WDFDEVICE device, WDFFILEOBJECT file, const WDF_REQUEST_PARAMETERS& parameters,
               RequestSink sink);
    ~WdfRequest() override { DeleteChildren(); }

    // Framework-internal state; drivers use the WdfRequest* calls below.
    WDFDEVICE const device;
    WDFFILEOBJECT const file;
    const WDF_REQUEST_PARAMETERS parameters;
    RequestSink sink;
    /// Direct I/O: the list describing the caller's locked buffer.
    PMDL mdl = nullptr;
    /// Buffered control requests: the system buffer and the caller's output.
    std::vector<std::uint8_t> systemBuffer;
    std::span<std::uint8_t> userOutput;
    NTSTATUS status = STATUS_SUCCESS;
    ULONG_PTR information = 0;
    PFN_WDF_REQUEST_COMPLETION_ROUTINE completionRoutine = nullptr;
    WDFCONTEXT completionContext = nullptr;
    URB_BULK_OR_INTERRUPT_TRANSFER* formattedUrb = nullptr;
    WDFUSBPIPE formattedPipe = nullptr;
    std::atomic<State> state{State::Presented};
    /// The user-mode thread that issued the request (UserThread key), 0 for none.
    std::uint64_t issuingThread = 0;

    /// Marks the request cancelled and cancels what it waits for at a target;
    /// a request sent later is cancelled as soon as it arrives there. The
    /// caller keeps the request alive for the call (the device's request
    /// lock). Returns false if it was already cancelled.
    bool Cancel();
    /// For targets: while sent, `cancelSent` cancels the request's transfer.
    /// Returns true if the request was cancelled before it got there.
    bool EnterTarget(std::function<void()> cancelSent);
    void LeaveTarget();

  private:
    std::mutex cancelMutex_;
    bool cancelRequested_ = false;
    std::function<void()> cancelSent_;
};

void WdfRequestComplete(WDFREQUEST request, NTSTATUS status);
void WdfRequestCompleteWithInformation(WDFREQUEST request, NTSTATUS status, ULONG_PTR information);
void WdfRequestSetInformation(WDFREQUEST request, ULONG_PTR information);
ULONG_PTR WdfRequestGetInformation(WDFREQUEST request);
/// The status of the last send (or its failure to be sent).
NTSTATUS WdfRequestGetStatus(WDFREQUEST request);
WDFFILEOBJECT WdfRequestGetFileObject(WDFREQUEST request);
void WdfRequestGetParameters(WDFREQUEST request, WDF_REQUEST_PARAMETERS* parameters);
/// Buffered control requests: the output buffer if it holds at least
/// `minimumRequiredSize` bytes, else STATUS_BUFFER_TOO_SMALL.
NTSTATUS WdfRequestRetrieveOutputBuffer(WDFREQUEST request, std::size_t minimumRequiredSize,
                                        PVOID* buffer, std::size_t* length);
/// Direct-I/O reads: the list of the caller's buffer.
NTSTATUS WdfRequestRetrieveOutputWdmMdl(WDFREQUEST request, PMDL* mdl);
/// Direct-I/O writes: the list of the caller's buffer.
NTSTATUS WdfRequestRetrieveInputWdmMdl(WDFREQUEST request, PMDL* mdl);
/// Sets the routine called when the next send completes.
void WdfRequestSetCompletionRoutine(WDFREQUEST request, PFN_WDF_REQUEST_COMPLETION_ROUTINE routine,
                                    WDFCONTEXT context);
/// Sends the request to `target`. False when it could not be sent; the
/// reason is then WdfRequestGetStatus.
BOOLEAN WdfRequestSend(WDFREQUEST request, WDFIOTARGET target,
                       const WDF_REQUEST_SEND_OPTIONS* options);

}  // namespace kmdf
