// The adapter's firmware behind the simulated USB device: it serves the
// adapter USB protocol on the four endpoints and bridges frames to and from
// a CAN controller on a virtual bus (any kelvix::Adapter, usually the "sim"
// backend's, which also puts the device simulator on that bus).
//
// Threading: the USB side is called on bus threads; one thread per channel
// pulls received frames from the CAN controller.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
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

    explicit AdapterFirmware(std::unique_ptr<kelvix::Adapter> controller);
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

  private:
    void ReceiveLoop(std::uint32_t channel);
    std::size_t TakeReceived(std::span<std::uint8_t> buffer);
    std::size_t TransmitRecords(std::span<const std::uint8_t> data);
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
    std::atomic<std::uint64_t> framesTransmitted_{0};
    std::atomic<std::uint64_t> framesDropped_{0};
};

}  // namespace brindle
