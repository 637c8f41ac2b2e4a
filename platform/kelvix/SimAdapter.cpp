#include "platform/kelvix/SimAdapter.hpp"

#include <chrono>
#include <mutex>

namespace kelvix {
namespace {

std::mutex& FactoryMutex() {
    static std::mutex mutex;
    return mutex;
}

SimDeviceFactory& Factory() {
    static SimDeviceFactory factory;
    return factory;
}

}  // namespace

void SetSimDeviceFactory(SimDeviceFactory factory) {
    std::lock_guard lock(FactoryMutex());
    Factory() = std::move(factory);
}

SimAdapter::SimAdapter(std::shared_ptr<VirtualCanBus> bus, std::string deviceOptions,
                       bool attachDevice)
    : bus_(std::move(bus)), deviceOptions_(std::move(deviceOptions)), attachDevice_(attachDevice) {}

SimAdapter::~SimAdapter() {
    Close();
}

std::string SimAdapter::Open() {
    if (attachDevice_) {
        SimDeviceFactory factory;
        {
            std::lock_guard lock(FactoryMutex());
            factory = Factory();
        }
        if (factory) {
            std::string error;
            device_ = factory(bus_, deviceOptions_, error);
            if (!device_) {
                return "simulated device: " + error;
            }
        }
    }
    for (std::uint32_t channel = 0; channel < CHANNEL_COUNT; ++channel) {
        ports_[channel] = bus_->Attach(channel);
    }
    return {};
}

void SimAdapter::Close() {
    for (auto& port : ports_) {
        if (port) {
            port->Close();
        }
    }
    device_.reset();
}

bool SimAdapter::InitChannel(std::uint32_t channel, const CanInitRecord&) {
    return channel < CHANNEL_COUNT;
}

bool SimAdapter::StartChannel(std::uint32_t channel) {
    return channel < CHANNEL_COUNT;
}

std::uint32_t SimAdapter::Transmit(std::uint32_t channel, std::span<const CanFrameRecord> frames) {
    auto& port = ports_[channel];
    for (const auto& frame : frames) {
        port->Send(frame);
    }
    return static_cast<std::uint32_t>(frames.size());
}

std::int32_t SimAdapter::Receive(std::uint32_t channel, std::span<CanFrameRecord> frames,
                                 std::int32_t waitMs) {
    const auto wait = std::chrono::milliseconds(waitMs > 0 ? waitMs : 0);
    return static_cast<std::int32_t>(ports_[channel]->Receive(frames, wait));
}

CanErrorRecord SimAdapter::TakeError(std::uint32_t) {
    return CanErrorRecord{};
}

bool SimAdapter::SetReference(std::uint32_t, std::uint32_t, void*) {
    return true;
}

std::unique_ptr<Adapter> SimAdapter::FromOptions(std::string_view options, std::string&) {
    std::string busName;
    std::string deviceOptions;
    bool attachDevice = true;
    while (!options.empty()) {
        const auto comma = options.find(',');
        const std::string_view item = options.substr(0, comma);
        options = comma == std::string_view::npos ? std::string_view() : options.substr(comma + 1);
        if (item.starts_with("bus=")) {
            busName = std::string(item.substr(4));
        } else if (item == "nodevice") {
            attachDevice = false;
        } else if (!item.empty()) {
            deviceOptions += (deviceOptions.empty() ? "" : ",") + std::string(item);
        }
    }
    auto bus = busName.empty() ? VirtualCanBus::Create() : VirtualCanBus::Named(busName);
    return std::make_unique<SimAdapter>(std::move(bus), std::move(deviceOptions), attachDevice);
}

}  // namespace kelvix
