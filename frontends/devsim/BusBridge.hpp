// Carries frames between a bus the adapter library reaches (any backend:
// qcanbus, socketcan, ...) and a private virtual bus that the simulated
// device sits on, so that the device answers on a real or shared bus exactly
// as it does in-process.
//
// Inbound, the two adapter channels are merged in the order of their receive
// stamps (channel 0 first on a tie), so the device sees the PC's frames in the
// order they arrived. Outbound, every frame the device sends goes out through
// VCI_Transmit on its channel.
//
// Threading: two threads of its own; Stop (or the destructor) ends them.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "platform/kelvix/VirtualCanBus.hpp"

namespace quillon::sim {

/// Frames of channels 0 and 1 in receive-stamp order; stable, channel 0 first on equal stamps.
std::vector<kelvix::TaggedFrame> MergeByStamp(std::span<const CanFrameRecord> channel0,
                                              std::span<const CanFrameRecord> channel1);

class BusBridge {
  public:
    BusBridge(std::shared_ptr<kelvix::VirtualCanBus> bus, std::uint32_t adapterIndex);
    ~BusBridge();
    BusBridge(const BusBridge&) = delete;
    BusBridge& operator=(const BusBridge&) = delete;

    /// Opens the adapter with the library's current spec and starts both
    /// channels and the bridge threads. Returns "" or why the bus cannot be used.
    std::string Open();
    /// Ends the threads and closes the adapter.
    void Stop();

    std::uint64_t FramesIn() const { return framesIn_.load(); }
    std::uint64_t FramesOut() const { return framesOut_.load(); }
    /// Refuses the device's frame `k` (1-based, counted from Open) and every
    /// later one, as an adapter that dies; 0 refuses nothing. Call before Open.
    void RefuseFrom(std::uint64_t k) { refuseFrom_ = k; }
    /// Device frames the adapter refused.
    std::uint64_t TransmitFailures() const { return transmitFailures_.load(); }

  private:
    void Inbound();
    void Outbound();

    std::shared_ptr<kelvix::VirtualCanBus> bus_;
    std::uint32_t index_;
    std::unique_ptr<kelvix::VirtualCanPort> port_;
    std::atomic<bool> running_{false};
    std::atomic<std::uint64_t> framesIn_{0};
    std::atomic<std::uint64_t> framesOut_{0};
    std::atomic<std::uint64_t> transmitFailures_{0};
    std::uint64_t refuseFrom_ = 0;
    std::thread inbound_;
    std::thread outbound_;
};

}  // namespace quillon::sim
