// The "brindle" backend: an adapter reached through Brindle's pipes with the
// adapter USB protocol, via the user-mode handle API. Behind the simulated
// USB device the adapter firmware bridges to a virtual CAN bus.
//
// Options are those of the "sim" backend, for the bus behind the adapter:
// "brindle" alone puts a simulated device on a private bus;
// "brindle:bus=NAME" joins a named bus; "brindle:nodevice" attaches none;
// other options configure the device ("brindle:type=3"). The adapter's own
// options (transmit queue, wait bound) are in BrindleOptions.hpp.
//
// Transmit waits while the adapter's transmit queue is full, at most the
// wait bound without progress, and returns the count the adapter accepted.
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

#include "driver/backend/AdapterUsbProtocol.hpp"
#include "driver/backend/BrindleMachine.hpp"
#include "platform/kelvix/Adapter.hpp"

namespace brindle {

class AdapterFirmware;

class BrindleAdapter final : public kelvix::Adapter {
  public:
    /// The simulated process on whose behalf the library opens the pipes.
    static constexpr kmdf::HANDLE LIBRARY_PROCESS_ID = 0x4B4C;
    /// Frames kept per channel until Receive takes them; older ones are dropped.
    static constexpr std::size_t RECEIVE_QUEUE_LIMIT = 65536;

    explicit BrindleAdapter(std::string busOptions);
    ~BrindleAdapter() override;

    std::string Open() override;
    void Close() override;
    bool InitChannel(std::uint32_t channel, const CanInitRecord& init) override;
    bool StartChannel(std::uint32_t channel) override;
    std::uint32_t Transmit(std::uint32_t channel, std::span<const CanFrameRecord> frames) override;
    std::int32_t Receive(std::uint32_t channel, std::span<CanFrameRecord> frames,
                         std::int32_t waitMs) override;
    CanErrorRecord TakeError(std::uint32_t channel) override;
    bool SetReference(std::uint32_t channel, std::uint32_t refType, void* data) override;

  private:
    std::string PlugAdapter();
    std::string OpenPipes();
    std::string CheckPipeCount();
    void ReceivePump(kmdf::UserHandle receivePipe);
    std::optional<usb::Response> Command(usb::Opcode opcode, std::uint32_t channel,
                                         std::vector<std::uint8_t> payload = {});
    std::uint32_t TransmitBatch(std::uint32_t channel, std::span<const CanFrameRecord> frames,
                                std::chrono::steady_clock::time_point deadline);

    std::string spec_;
    std::chrono::milliseconds queueWait_{0};
    std::shared_ptr<BrindleMachine> machine_;
    std::shared_ptr<AdapterFirmware> firmware_;
    kmdf::WDFDEVICE device_ = nullptr;
    std::string path_;
    std::array<kmdf::UserHandle, 4> pipes_{};
    std::atomic<bool> open_{false};

    std::thread pump_;
    std::atomic<bool> closing_{false};
    std::mutex receivedMutex_;
    std::condition_variable arrived_;
    std::array<std::deque<CanFrameRecord>, kelvix::CHANNEL_COUNT> received_;
    bool pumpFailed_ = false;

    std::mutex transmitMutex_;
    std::mutex commandMutex_;
};

}  // namespace brindle
