#include "sim/SimDevices.hpp"

#include <iostream>
#include <mutex>

#include "platform/kelvix/SimAdapter.hpp"

namespace quillon::sim {
namespace {

std::mutex& DevicesMutex() {
    static std::mutex mutex;
    return mutex;
}

std::weak_ptr<SimulatedDevice>& Last() {
    static std::weak_ptr<SimulatedDevice> last;
    return last;
}

std::function<void(const std::string&)>& WarningSink() {
    static std::function<void(const std::string&)> sink;
    return sink;
}

void Warn(const std::string& warning) {
    std::function<void(const std::string&)> sink;
    {
        std::lock_guard lock(DevicesMutex());
        sink = WarningSink();
    }
    if (sink) {
        sink(warning);
    } else {
        std::cerr << "warning: " << warning << '\n';
    }
}

// Keeps the shared device alive as long as the adapter holds this node.
class DeviceNode final : public kelvix::SimulatedNode {
  public:
    explicit DeviceNode(std::shared_ptr<SimulatedDevice> device) : device_(std::move(device)) {}

  private:
    std::shared_ptr<SimulatedDevice> device_;
};

}  // namespace

void RegisterSimDevice() {
    kelvix::SetSimDeviceFactory([](const std::shared_ptr<kelvix::VirtualCanBus>& bus,
                                   std::string_view options,
                                   std::string& error) -> std::unique_ptr<kelvix::SimulatedNode> {
        auto config = ParseDeviceConfig(options, error);
        if (!config) {
            return nullptr;
        }
        static sys::SystemClock clock;
        auto device = std::make_shared<SimulatedDevice>(bus, *config, clock);
        if (!device->StateWarning().empty()) {
            Warn(device->StateWarning());
        }
        {
            std::lock_guard lock(DevicesMutex());
            Last() = device;
        }
        return std::make_unique<DeviceNode>(std::move(device));
    });
}

void SetSimWarningSink(std::function<void(const std::string&)> sink) {
    std::lock_guard lock(DevicesMutex());
    WarningSink() = std::move(sink);
}

std::shared_ptr<SimulatedDevice> LastSimulatedDevice() {
    std::lock_guard lock(DevicesMutex());
    return Last().lock();
}

}  // namespace quillon::sim
