// The adapter's firmware behind the simulated USB device: it serves the
// adapter USB protocol on the four endpoints and bridges frames to and from
// a CAN controller on a virtual bus (any kelvix::Adapter, usually the "sim"
// backend's, which also puts the device simulator on that bus).
//
// Frames to transmit go into a finite transmit queue, which one thread
// drains into the CAN controller in order. While the queue is full the
// transmit pipe takes nothing (its transfer waits for room); a transfer that
// arrives with room takes as many whole records as fit and completes with
// that many bytes. A frame the controller refuses stays at the head of the
// queue and is offered again.
//
// Threading: the USB side is called on bus threads; one thread per channel
// pulls received frames from the CAN controller; one thread transmits.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "driver/backend/AdapterUsbProtocol.hpp"
#include "platform/kelvix/Adapter.hpp"
#include "platform/kmdf/SimUsbDevice.hpp"

namespace brindle {

class AdapterFirmware final : public kmdf::SimUsbFunction {
  public:
    /// Received frames kept for the host at most; older ones are dropped.
    static constexpr std::size_t RECEIVE_QUEUE_LIMIT = 65536;
    /// Frames the transmit queue holds unless told otherwise.
    static constexpr std::size_t DEFAULT_TRANSMIT_QUEUE_FRAMES = 32;

    struct Options {
        std::size_t transmitQueueFrames = DEFAULT_TRANSMIT_QUEUE_FRAMES;
        /// The controller does not get onto the bus: queued frames stay.
        bool transmitPaused = false;
    };

    AdapterFirmware(std::unique_ptr<kelvix::Adapter> controller, Options options);
    explicit AdapterFirmware(std::unique_ptr<kelvix::Adapter> controller)
        : AdapterFirmware(std::move(controller), Options{}) {}
    ~AdapterFirmware() override;

    /// Connects the CAN controller and starts receiving; `usb` is told when
    /// data for the host arrives. Returns what failed, or an empty string.
    std::string Start(std::weak_ptr<kmdf::SimUsbDevice> usb);
    void Stop();

    std::optional<std::size_t> ReadIn(std::uint8_t endpoint,
                                      std::span<std::uint8_t> buffer) override;
    std::optional<std::size_t> WriteOut(std::uint8_t endpoint,
                                        std::span<const std::uint8_t> data) override;

    std::uint64_t FramesTransmitted() const { return framesTransmitted_.load(); }
    std::uint64_t FramesDropped() const { return framesDropped_.load(); }
    std::size_t TransmitQueued();
    /// Waits (for real, at most `limit`) until the transmit queue is empty.
    bool WaitUntilTransmitted(std::chrono::milliseconds limit = std::chrono::seconds(10));

  private:
    void ReceiveLoop(std::uint32_t channel);
    void TransmitLoop();
    /// Offers the frames at the head of the queue that share a channel.
    void TransmitHead(std::unique_lock<std::mutex>& lock);
    std::optional<std::size_t> QueueRecords(std::span<const std::uint8_t> data);
    void SetError(std::uint8_t channel, std::uint32_t code);
    usb::Response Execute(std::span<const std::uint8_t> command);
    void Notify();
    std::uint32_t TicksSinceStart() const;

    std::unique_ptr<kelvix::Adapter> controller_;
    std::weak_ptr<kmdf::SimUsbDevice> usb_;
    std::chrono::steady_clock::time_point started_;
    std::atomic<bool> running_{false};
    std::vector<std::thread> receivers_;
    std::mutex mutex_;
    std::deque<usb::FrameRecordBytes> received_;
    std::deque<std::array<std::uint8_t, usb::RESPONSE_RECORD_SIZE>> responses_;
    std::array<CanErrorRecord, kelvix::CHANNEL_COUNT> errors_{};
    const Options options_;
    std::thread transmitter_;
    std::mutex transmitMutex_;
    std::condition_variable transmitChanged_;
    std::deque<usb::ChannelFrame> transmitQueue_;
    bool hostWaiting_ = false;
    std::atomic<std::uint64_t> framesTransmitted_{0};
    std::atomic<std::uint64_t> framesDropped_{0};
};

}  // namespace brindle
