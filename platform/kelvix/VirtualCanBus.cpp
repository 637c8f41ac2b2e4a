#include "platform/kelvix/VirtualCanBus.hpp"

#include <algorithm>
#include <limits>
#include <map>
#include <stdexcept>

namespace kelvix {
namespace {

// A waiting receiver looks at a timed bus at least this often, so frames
// finishing while nobody sends still arrive in time.
constexpr auto LONGEST_TIMED_SLICE = std::chrono::milliseconds(5);
constexpr auto SHORTEST_TIMED_SLICE = std::chrono::microseconds(20);
/// Receive stamps count in units of 100 us.
constexpr std::uint64_t NS_PER_STAMP = 100'000;

}  // namespace

VirtualCanPort::VirtualCanPort(std::shared_ptr<VirtualCanBus> bus, std::uint32_t channel)
    : bus_(std::move(bus)), channel_(channel) {}

VirtualCanPort::~VirtualCanPort() {
    Close();
    bus_->Leave(this);
}

void VirtualCanPort::Send(const CanFrameRecord& frame) {
    SendOn(channel_, frame);
}

void VirtualCanPort::SendOn(std::uint32_t channel, const CanFrameRecord& frame) {
    if (bus_->timed_ && channel < bus_->channelCount_) {
        bus_->Offer(this, channel, frame, std::numeric_limits<std::size_t>::max(), 0);
    } else {
        bus_->Broadcast(this, channel, frame);
    }
}

bool VirtualCanPort::Offer(const CanFrameRecord& frame, std::size_t capacity,
                           std::uint64_t waitNs) {
    if (!bus_->timed_ || channel_ >= bus_->channelCount_) {
        bus_->Broadcast(this, channel_, frame);
        return true;
    }
    return bus_->Offer(this, channel_, frame, capacity, waitNs);
}

void VirtualCanPort::AwaitFrames(std::unique_lock<std::mutex>& lock,
                                 std::chrono::milliseconds wait) {
    auto ready = [this] { return closed_ || !queue_.empty(); };
    if (!bus_->timed_) {
        // A poll that does not wait must not reach the kernel to find that out.
        if (wait.count() > 0) {
            arrived_.wait_for(lock, wait, ready);
        }
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        lock.unlock();
        const auto untilNextNs = bus_->Advance();
        lock.lock();
        const auto now = std::chrono::steady_clock::now();
        if (ready() || now >= deadline) {
            return;
        }
        const auto slice = untilNextNs ? std::chrono::duration_cast<std::chrono::nanoseconds>(
                                             std::chrono::nanoseconds(*untilNextNs))
                                       : std::chrono::nanoseconds(LONGEST_TIMED_SLICE);
        const auto bounded =
            std::clamp<std::chrono::nanoseconds>(slice, SHORTEST_TIMED_SLICE, LONGEST_TIMED_SLICE);
        arrived_.wait_until(lock, std::min(deadline, now + bounded), ready);
    }
}

void VirtualCanPort::Deliver(std::uint32_t channel, const CanFrameRecord& frame) {
    bool wasEmpty = false;
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return;
        }
        wasEmpty = queue_.empty();
        queue_.push_back(TaggedFrame{channel, frame});
    }
    // Receivers only wait on an empty queue: the first frame wakes them.
    if (wasEmpty) {
        arrived_.notify_all();
    }
}

std::size_t VirtualCanPort::ReceiveTagged(std::span<TaggedFrame> out,
                                          std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    AwaitFrames(lock, wait);
    std::size_t count = 0;
    while (count < out.size() && !queue_.empty()) {
        out[count++] = queue_.front();
        queue_.pop_front();
    }
    return count;
}

std::size_t VirtualCanPort::Receive(std::span<CanFrameRecord> out, std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    AwaitFrames(lock, wait);
    std::size_t count = 0;
    while (count < out.size() && !queue_.empty()) {
        out[count++] = queue_.front().frame;
        queue_.pop_front();
    }
    return count;
}

std::size_t VirtualCanPort::Pending() const {
    std::lock_guard lock(mutex_);
    return queue_.size();
}

void VirtualCanPort::Close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        queue_.clear();
    }
    arrived_.notify_all();
}

std::shared_ptr<VirtualCanBus> VirtualCanBus::Create(std::uint32_t channelCount) {
    return std::shared_ptr<VirtualCanBus>(new VirtualCanBus(channelCount));
}

std::shared_ptr<VirtualCanBus> VirtualCanBus::Named(const std::string& name) {
    static std::mutex registryMutex;
    static std::map<std::string, std::weak_ptr<VirtualCanBus>> registry;
    std::lock_guard lock(registryMutex);
    if (auto existing = registry[name].lock()) {
        return existing;
    }
    auto bus = Create();
    registry[name] = bus;
    return bus;
}

VirtualCanBus::VirtualCanBus(std::uint32_t channelCount) : channelCount_(channelCount) {}

std::unique_ptr<VirtualCanPort> VirtualCanBus::Attach(std::uint32_t channel) {
    if (channel >= channelCount_ && channel != VirtualCanPort::ALL_CHANNELS) {
        throw std::out_of_range("virtual CAN bus has no channel " + std::to_string(channel));
    }
    auto port = std::make_unique<VirtualCanPort>(shared_from_this(), channel);
    Join(port.get());
    return port;
}

std::uint64_t VirtualCanBus::FramesSent() const {
    std::lock_guard lock(mutex_);
    return framesSent_;
}

void VirtualCanBus::Join(VirtualCanPort* port) {
    std::lock_guard lock(mutex_);
    ports_.push_back(port);
}

void VirtualCanBus::Leave(VirtualCanPort* port) {
    std::lock_guard lock(mutex_);
    std::erase(ports_, port);
    if (timing_) {
        for (auto& wire : timing_->wires) {
            wire.Forget(port);
        }
    }
}

bool VirtualCanBus::SetBitrate(std::uint32_t bitsPerSecond, quillon::sys::Clock& clock,
                               quillon::sys::Sleeper& sleeper) {
    std::lock_guard lock(mutex_);
    if (timing_) {
        return timing_->wires.front().Bitrate() == bitsPerSecond;
    }
    timing_ = Timing{&clock, &sleeper, clock.MonotonicNs(),
                     std::vector<BusWire>(channelCount_, BusWire(bitsPerSecond))};
    timed_ = true;
    return true;
}

std::uint32_t VirtualCanBus::Bitrate() const {
    std::lock_guard lock(mutex_);
    return timing_ ? timing_->wires.front().Bitrate() : 0;
}

std::optional<std::uint64_t> VirtualCanBus::Advance() {
    std::lock_guard lock(mutex_);
    if (!timing_) {
        return std::nullopt;
    }
    const std::uint64_t now = timing_->clock->MonotonicNs();
    RunWires(now);
    std::optional<std::uint64_t> next;
    for (const auto& wire : timing_->wires) {
        if (const auto end = wire.BusyUntilNs()) {
            next = std::min(next.value_or(*end - now), *end - now);
        }
    }
    return next;
}

// A full queue waits until the wire has drained it to half (or the bound
// runs out), as adapter drivers do: the half left keeps the wire busy while
// the caller sleeps, so a late wake-up delays the caller, never the bus.
bool VirtualCanBus::Offer(const VirtualCanPort* sender, std::uint32_t channel,
                          const CanFrameRecord& frame, std::size_t capacity, std::uint64_t waitNs) {
    std::unique_lock lock(mutex_);
    std::uint64_t now = timing_->clock->MonotonicNs();
    const std::uint64_t deadline = now + std::min<std::uint64_t>(waitNs, UINT64_MAX - now);
    BusWire& wire = timing_->wires[channel];
    for (;;) {
        RunWires(now);
        if (wire.Outstanding(sender) < capacity) {
            wire.Queue(sender, frame, now);
            RunWires(now);
            return true;
        }
        if (now >= deadline) {
            return false;
        }
        const std::uint64_t wake =
            std::min(deadline, wire.DrainedNs(sender, capacity / 2).value_or(deadline));
        lock.unlock();
        timing_->sleeper->SleepNs(wake - now);
        lock.lock();
        now = timing_->clock->MonotonicNs();
    }
}

void VirtualCanBus::RunWires(std::uint64_t nowNs) {
    for (std::uint32_t channel = 0; channel < channelCount_; ++channel) {
        timing_->wires[channel].Run(
            nowNs, [this, channel](const BusWire::Carried& carried) { Carry(channel, carried); });
    }
}

void VirtualCanBus::Carry(std::uint32_t channel, const BusWire::Carried& carried) {
    ++framesSent_;
    const auto stamp =
        static_cast<std::uint32_t>((carried.endNs - timing_->startNs) / NS_PER_STAMP);
    DeliverStamped(static_cast<const VirtualCanPort*>(carried.sender), channel, carried.frame,
                   stamp);
}

void VirtualCanBus::Broadcast(const VirtualCanPort* sender, std::uint32_t channel,
                              const CanFrameRecord& frame) {
    // Delivery happens under the bus lock so that every port sees frames in
    // one global order.
    std::lock_guard lock(mutex_);
    ++framesSent_;
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    DeliverStamped(
        sender, channel, frame,
        static_cast<std::uint32_t>(
            std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count() / 100));
}

void VirtualCanBus::DeliverStamped(const VirtualCanPort* sender, std::uint32_t channel,
                                   const CanFrameRecord& frame, std::uint32_t stamp) {
    CanFrameRecord stamped = frame;
    stamped.TimeStamp = stamp;
    stamped.TimeFlag = 1;
    for (auto* port : ports_) {
        if (port != sender && port->Hears(channel)) {
            port->Deliver(channel, stamped);
        }
    }
}

}  // namespace kelvix
