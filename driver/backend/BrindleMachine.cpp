#include "driver/backend/BrindleMachine.hpp"

#include "driver/Brindle.hpp"
#include "driver/BrindleContexts.hpp"

namespace brindle {

std::shared_ptr<BrindleMachine> BrindleMachine::Acquire() {
    static std::mutex mutex;
    static std::weak_ptr<BrindleMachine> current;
    std::lock_guard lock(mutex);
    std::shared_ptr<BrindleMachine> machine = current.lock();
    if (!machine) {
        machine = std::make_shared<BrindleMachine>();
        current = machine;
    }
    return machine;
}

BrindleMachine::BrindleMachine() : loaded_(host_.LoadDriver(DriverEntry)) {}

BrindleMachine::~BrindleMachine() = default;

kmdf::NTSTATUS BrindleMachine::PlugIn(std::shared_ptr<kmdf::SimUsbDevice> device,
                                      kmdf::WDFDEVICE* added, std::string* path) {
    *added = nullptr;
    if (!kmdf::NT_SUCCESS(loaded_)) {
        return loaded_;
    }
    std::lock_guard lock(mutex_);
    const kmdf::NTSTATUS status = host_.PlugIn(std::move(device), added);
    if (kmdf::NT_SUCCESS(status)) {
        *path = host_.InterfacePathOf(*added, BRINDLE_INTERFACE_CLASS);
    } else if (*added != nullptr) {
        host_.Unplug(*added);
    }
    return status;
}

void BrindleMachine::Unplug(kmdf::WDFDEVICE device) {
    std::lock_guard lock(mutex_);
    host_.Unplug(device);
}

}  // namespace brindle
