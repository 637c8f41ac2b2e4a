// One transfer in flight on the simulated bus.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/kmdf/NtStatus.hpp"
#include "platform/kmdf/TransferFault.hpp"
#include "platform/kmdf/Urb.hpp"

namespace kmdf {

struct SimTransfer {
    enum class Kind { BulkOrInterrupt, Control };

    Kind kind = Kind::BulkOrInterrupt;
    UCHAR endpoint = 0;
    /// Data transfers: the caller's transfer record (its list and length).
    URB_BULK_OR_INTERRUPT_TRANSFER* urb = nullptr;
    /// The pipe handle the record must carry.
    USBD_PIPE_HANDLE expectedPipe = nullptr;
    /// Control transfers: the setup stage and the data stage's bytes.
    UsbSetupPacket setup;
    std::vector<std::uint8_t> controlData;

    /// Set by the bus when it completes the transfer.
    NTSTATUS status = STATUS_PENDING;
    USBD_STATUS usbdStatus = USBD_STATUS_SUCCESS;
    ULONG bytes = 0;

    /// Called exactly once, on a bus thread, when the transfer completes.
    std::function<void(SimTransfer&)> onComplete;

    // Bus bookkeeping.
    std::uint64_t id = 0;
    bool faultChosen = false;
    TransferFault fault;
    unsigned roundsDelayed = 0;
    /// Set under the bus lock by Cancel: the transfer must not start waiting.
    bool cancelRequested = false;
    std::atomic<int> completions{0};
};

}  // namespace kmdf
