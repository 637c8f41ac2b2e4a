#include "sim/SimDevices.hpp"

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
        {
            std::lock_guard lock(DevicesMutex());
            Last() = device;
        }
        return std::make_unique<DeviceNode>(std::move(device));
    });
}

std::shared_ptr<SimulatedDevice> LastSimulatedDevice() {
    std::lock_guard lock(DevicesMutex());
    return Last().lock();
}

}  // namespace quillon::sim
