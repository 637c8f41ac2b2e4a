#include "platform/kelvix/VirtualCanBus.hpp"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace kelvix {

VirtualCanPort::VirtualCanPort(std::shared_ptr<VirtualCanBus> bus, std::uint32_t channel)
    : bus_(std::move(bus)), channel_(channel) {}

VirtualCanPort::~VirtualCanPort() {
    Close();
    bus_->Leave(this);
}

void VirtualCanPort::Send(const CanFrameRecord& frame) {
    bus_->Broadcast(this, channel_, frame);
}

void VirtualCanPort::SendOn(std::uint32_t channel, const CanFrameRecord& frame) {
    bus_->Broadcast(this, channel, frame);
}

void VirtualCanPort::Deliver(std::uint32_t channel, const CanFrameRecord& frame) {
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return;
        }
        queue_.push_back(TaggedFrame{channel, frame});
    }
    arrived_.notify_all();
}

std::size_t VirtualCanPort::ReceiveTagged(std::span<TaggedFrame> out,
                                          std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, wait, [this] { return closed_ || !queue_.empty(); });
    std::size_t count = 0;
    while (count < out.size() && !queue_.empty()) {
        out[count++] = queue_.front();
        queue_.pop_front();
    }
    return count;
}

std::size_t VirtualCanPort::Receive(std::span<CanFrameRecord> out, std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, wait, [this] { return closed_ || !queue_.empty(); });
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
}

void VirtualCanBus::Broadcast(const VirtualCanPort* sender, std::uint32_t channel,
                              const CanFrameRecord& frame) {
    // Delivery happens under the bus lock so that every port sees frames in
    // one global order.
    std::lock_guard lock(mutex_);
    ++framesSent_;
    CanFrameRecord stamped = frame;
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    stamped.TimeStamp = static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count() / 100);
    stamped.TimeFlag = 1;
    for (auto* port : ports_) {
        if (port != sender && port->Hears(channel)) {
            port->Deliver(channel, stamped);
        }
    }
}

}  // namespace kelvix
