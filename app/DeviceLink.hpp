// The link to the USB-CAN adapter: which adapter and channel, whether the
// receive thread runs, and sending frames plain or enciphered.
//
// Threading: owned and driven by the user-interface thread; the receive thread
// reads `IsRunning` and calls the frame handler. The flag is atomic; a stop
// closes the adapter, which ends a receive wait in progress at once, and joins
// the thread, so no receive thread outlives the link and a command ends as
// soon as its work does.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <thread>

#include "platform/kelvix/FrameTransmitter.hpp"
#include "platform/kelvix/Kelvix.h"
#include "platform/system/Sleeper.hpp"
#include "protocol/Cpc1crypt.hpp"

namespace quillon::app {

class DeviceLink final : public kelvix::FrameTransmitter {
  public:
    /// Called on the receive thread for every received frame, still enciphered.
    using FrameHandler = std::function<void(std::uint32_t channel, const CanFrameRecord& frame)>;
    /// Called on the receive thread after each pass over both channels, with
    /// the number of frames that pass handed to the frame handler.
    using PassHandler = std::function<void(std::size_t framesReceived)>;

    /// Adapter device type passed to every library call.
    static constexpr std::uint32_t DEVICE_TYPE_CODE = KELVIX_DEVICE_TYPE;
    static constexpr std::uint32_t RECEIVE_CAPACITY = 50;
    static constexpr std::int32_t RECEIVE_WAIT_MS = 200;

    DeviceLink(sys::Sleeper& sleeper, const protocol::Cpc1crypt& cipher);
    ~DeviceLink() override;
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    bool IsRunning() const { return running_.load(); }
    std::uint32_t DeviceTypeCode() const { return DEVICE_TYPE_CODE; }
    std::uint32_t DeviceIndex() const { return deviceIndex_; }
    std::uint32_t CanIndex() const { return canIndex_; }
    void SetCanIndex(std::uint32_t channel) { canIndex_ = channel; }
    const protocol::Cpc1crypt& Cipher() const { return cipher_; }

    /// Opens adapter `index` and starts channel 0 (its result is not checked).
    /// Returns false when the library did not open the adapter.
    bool Open(std::uint32_t index);
    /// Opens adapter 0 the way the firmware upgrade does when nobody connected:
    /// open and start channel 0, neither result looked at.
    void OpenForUpgrade();
    /// Starts the receive thread; `handler` runs on it for every frame and
    /// `passEnded` (optional) after every pass.
    void StartReceiving(FrameHandler handler, PassHandler passEnded = {});
    /// Clears the running flag and closes the adapter (a receive waiting in
    /// the library returns at once), then waits for the thread to end, calling
    /// `whileWaiting` meanwhile (the window pumps its messages there, so a box
    /// the thread raised can still be answered).
    void StopReceiving(const std::function<void()>& whileWaiting = {});
    /// Closes the adapter that was opened, unless StopReceiving already did.
    void Close();

    /// VCI_SetReference on the current channel with the transmit reference (1000).
    void SetReference(std::uint32_t refType);
    /// Sends `frames` as they are in one call on the current channel; true when all were accepted.
    bool Send(std::span<CanFrameRecord> frames);
    bool SendEnciphered(std::span<CanFrameRecord> frames) override;
    void PauseMs(std::uint32_t durationMs) override;

  private:
    void ReceiveThread();

    sys::Sleeper& sleeper_;
    const protocol::Cpc1crypt& cipher_;
    std::atomic<bool> running_{false};
    std::atomic<bool> threadEnded_{true};
    bool adapterOpen_ = false;  ///< opened and not yet closed (user-interface thread only)
    std::uint32_t deviceIndex_ = 0;
    std::uint32_t canIndex_ = 0;
    std::uint32_t transmitReference_ = 1000;
    FrameHandler handler_;
    PassHandler passEnded_;
    std::thread thread_;
};

}  // namespace quillon::app
