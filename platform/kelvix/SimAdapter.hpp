// The "sim" backend: an adapter on an in-process virtual CAN bus, with a
// simulated device attached when the device simulator is linked in.
//
// Spec options (comma-separated), the adapter's own:
//   bus=NAME    join the named in-process bus instead of a private one
//   nodevice    attach no simulated device
//   refuse=K    accept frames 1..K-1 counted from open, refuse frame K and
//               every later one (the call carrying frame K returns the count
//               accepted before it), as an adapter that dies mid-transfer
//   bitrate=N   time the bus at N bits per second (absent: frames arrive at once)
//   queue=N     frames the adapter holds per channel waiting for the wire (default 32)
//   queue-wait-ms=N  how long VCI_Transmit waits for room in a full queue
//               before it refuses (default 1000)
// Everything else is passed to the device factory (e.g. "type=2,fw=11").
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/kelvix/Adapter.hpp"
#include "platform/kelvix/VirtualCanBus.hpp"

namespace kelvix {

/// Something living on a virtual bus (a simulated device); it stops when destroyed.
class SimulatedNode {
  public:
    virtual ~SimulatedNode() = default;
};

/// Attaches a simulated device to `bus` configured by `options`; returns null
/// and sets `error` when the options are wrong.
using SimDeviceFactory = std::function<std::unique_ptr<SimulatedNode>(
    const std::shared_ptr<VirtualCanBus>& bus, std::string_view options, std::string& error)>;

/// Installs the factory the "sim" backend uses; an empty function removes it.
void SetSimDeviceFactory(SimDeviceFactory factory);

/// Sets the clock and sleeper that time the buses of "sim" adapters opened
/// from now on (they must outlive those adapters); null restores the system's.
void SetSimBusTime(quillon::sys::Clock* clock, quillon::sys::Sleeper* sleeper);

class SimAdapter final : public Adapter {
  public:
    /// What the "sim:" options set.
    struct Options {
        std::string busName;
        std::string deviceOptions;
        bool attachDevice = true;
        std::uint64_t refuseFrom = 0;  ///< first refused frame, 1-based; 0 = none
        std::uint64_t bitrate = 0;     ///< bits per second; 0 = untimed
        std::uint64_t queueFrames = 32;
        std::uint64_t queueWaitMs = 1000;
    };

    SimAdapter(std::shared_ptr<VirtualCanBus> bus, Options options);
    ~SimAdapter() override;

    std::string Open() override;
    void Close() override;
    bool InitChannel(std::uint32_t channel, const CanInitRecord& init) override;
    bool StartChannel(std::uint32_t channel) override;
    std::uint32_t Transmit(std::uint32_t channel, std::span<const CanFrameRecord> frames) override;
    std::int32_t Receive(std::uint32_t channel, std::span<CanFrameRecord> frames,
                         std::int32_t waitMs) override;
    CanErrorRecord TakeError(std::uint32_t channel) override;
    bool SetReference(std::uint32_t channel, std::uint32_t refType, void* data) override;

    /// Parses the backend options of a "sim:..." spec; null with `error` set on a bad one.
    static std::unique_ptr<Adapter> FromOptions(std::string_view options, std::string& error);
    static std::optional<Options> ParseOptions(std::string_view options, std::string& error);

  private:
    /// Counts one more offered frame; true when the adapter refuses it.
    bool Refuses();

    std::shared_ptr<VirtualCanBus> bus_;
    std::string deviceOptions_;
    bool attachDevice_;
    std::uint64_t refuseFrom_ = 0;
    std::size_t queueFrames_;
    std::uint64_t queueWaitNs_;
    std::atomic<std::uint64_t> framesOffered_{0};
    std::unique_ptr<SimulatedNode> device_;
    std::unique_ptr<VirtualCanPort> ports_[CHANNEL_COUNT];
};

}  // namespace kelvix
