// An in-process CAN bus with numbered channels. Every port attached to a
// channel receives each frame that another port sends on it, in send order;
// a port never receives its own frames. The simulated adapter and the device
// simulator meet here.
//
// Untimed (the default), a frame reaches the other ports the moment it is
// sent. Timed (SetBitrate), each channel is a BusWire: a frame waits in its
// port's queue, occupies the channel for its exact length in bits and
// reaches the other ports with its last bit; the time comes from the clock
// and sleeper given, so tests run the bus on fake time.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/kelvix/BusWire.hpp"
#include "platform/kelvix/Kelvix.h"
#include "platform/system/Clock.hpp"
#include "platform/system/Sleeper.hpp"

namespace kelvix {

class VirtualCanBus;

/// A frame with the channel it travelled on.
struct TaggedFrame {
    std::uint32_t channel = 0;
    CanFrameRecord frame{};
};

/// One node's connection to one channel of a virtual bus, or to all of them
/// (ALL_CHANNELS), in which case frames keep their global order. Thread-safe.
class VirtualCanPort {
  public:
    static constexpr std::uint32_t ALL_CHANNELS = 0xFFFFFFFFu;

    VirtualCanPort(std::shared_ptr<VirtualCanBus> bus, std::uint32_t channel);
    ~VirtualCanPort();
    VirtualCanPort(const VirtualCanPort&) = delete;
    VirtualCanPort& operator=(const VirtualCanPort&) = delete;

    std::uint32_t Channel() const { return channel_; }
    /// Delivers `frame` to every other port on the port's channel.
    void Send(const CanFrameRecord& frame);
    /// Delivers `frame` on `channel` (for a port attached to all channels).
    void SendOn(std::uint32_t channel, const CanFrameRecord& frame);
    /// Sends `frame` when fewer than `capacity` of this port's frames are
    /// waiting or on the wire, waiting up to `waitNs` of bus time for room;
    /// false when the queue stayed full that long. Untimed, it always sends.
    bool Offer(const CanFrameRecord& frame, std::size_t capacity, std::uint64_t waitNs);
    /// Moves up to out.size() queued frames into `out`, waiting up to `wait`
    /// for the first. Returns how many were stored; 0 after Close.
    std::size_t Receive(std::span<CanFrameRecord> out, std::chrono::milliseconds wait);
    /// The same with each frame's channel, in the order the bus carried them.
    std::size_t ReceiveTagged(std::span<TaggedFrame> out, std::chrono::milliseconds wait);
    /// Frames waiting to be received.
    std::size_t Pending() const;
    /// Wakes a waiting Receive and drops further frames.
    void Close();

  private:
    friend class VirtualCanBus;
    void Deliver(std::uint32_t channel, const CanFrameRecord& frame);
    /// Returns with `lock` held once a frame is queued, the port is closed or `wait` has passed.
    void AwaitFrames(std::unique_lock<std::mutex>& lock, std::chrono::milliseconds wait);
    bool Hears(std::uint32_t channel) const {
        return channel_ == ALL_CHANNELS || channel_ == channel;
    }

    std::shared_ptr<VirtualCanBus> bus_;
    std::uint32_t channel_;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<TaggedFrame> queue_;
    bool closed_ = false;
};

class VirtualCanBus : public std::enable_shared_from_this<VirtualCanBus> {
  public:
    /// Buses are shared: create them with Create or Named.
    static std::shared_ptr<VirtualCanBus> Create(std::uint32_t channelCount = CHANNELS);
    /// The bus called `name` in this process, created on first use and kept
    /// while anyone holds it.
    static std::shared_ptr<VirtualCanBus> Named(const std::string& name);

    std::uint32_t ChannelCount() const { return channelCount_; }
    /// A new port on `channel`, or on every channel with VirtualCanPort::ALL_CHANNELS.
    std::unique_ptr<VirtualCanPort> Attach(std::uint32_t channel);
    /// Frames sent on the bus since it was created, all channels (timed: those
    /// that have crossed the wire).
    std::uint64_t FramesSent() const;
    /// Times every channel at `bitsPerSecond` on `clock` and `sleeper`, which
    /// outlive the bus; call before frames flow. False (and nothing changed)
    /// when the bus is already timed at another rate.
    bool SetBitrate(std::uint32_t bitsPerSecond, quillon::sys::Clock& clock,
                    quillon::sys::Sleeper& sleeper);
    /// Bits per second, 0 when untimed.
    std::uint32_t Bitrate() const;
    /// Timed: delivers every frame that has finished by now. Returns the
    /// nanoseconds until the next frame on a wire finishes, if one is on it.
    std::optional<std::uint64_t> Advance();

    static constexpr std::uint32_t CHANNELS = 2;

  private:
    friend class VirtualCanPort;
    explicit VirtualCanBus(std::uint32_t channelCount);
    void Join(VirtualCanPort* port);
    void Leave(VirtualCanPort* port);
    void Broadcast(const VirtualCanPort* sender, std::uint32_t channel,
                   const CanFrameRecord& frame);
    bool Offer(const VirtualCanPort* sender, std::uint32_t channel, const CanFrameRecord& frame,
               std::size_t capacity, std::uint64_t waitNs);
    /// Called with mutex_ held.
    void RunWires(std::uint64_t nowNs);
    void Carry(std::uint32_t channel, const BusWire::Carried& carried);
    void DeliverStamped(const VirtualCanPort* sender, std::uint32_t channel,
                        const CanFrameRecord& frame, std::uint32_t stamp);

    struct Timing {
        quillon::sys::Clock* clock;
        quillon::sys::Sleeper* sleeper;
        std::uint64_t startNs;
        std::vector<BusWire> wires;
    };

    std::uint32_t channelCount_;
    mutable std::mutex mutex_;
    std::vector<VirtualCanPort*> ports_;
    std::uint64_t framesSent_ = 0;
    std::optional<Timing> timing_;
    std::atomic<bool> timed_{false};
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace kelvix
