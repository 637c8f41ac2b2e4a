// The simulated adapter on the simulated USB bus with Brindle loaded, as the
// "brindle" backend sets it up; made once per fuzzing process. Its CAN side
// is a private virtual bus without a device.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>

#include "driver/backend/AdapterFirmware.hpp"
#include "driver/backend/BrindleMachine.hpp"
#include "platform/kelvix/SimAdapter.hpp"
#include "platform/kmdf/SimUsbDevice.hpp"

namespace quillon::fuzz {

inline constexpr kmdf::HANDLE FUZZ_PROCESS = 4242;

struct AdapterBench {
    AdapterBench() {
        std::string error;
        firmware = std::make_shared<brindle::AdapterFirmware>(
            kelvix::SimAdapter::FromOptions("nodevice", error));
        kmdf::SimUsbDeviceConfig config = kmdf::AdapterDeviceConfig();
        // As the backend runs it: what the adapter can take or give at once
        // completes inside the call, with no hand-over to a bus thread.
        config.processOnSubmit = true;
        usb = std::make_shared<kmdf::SimUsbDevice>(config, firmware);
        machine = brindle::BrindleMachine::Acquire();
        if (!firmware->Start(usb).empty() ||
            !kmdf::NT_SUCCESS(machine->PlugIn(usb, &device, &path))) {
            std::abort();
        }
    }
    kmdf::OpenResult Open(const std::string& name) {
        return machine->Api().CreateFile(FUZZ_PROCESS, path + "\\" + name);
    }

    std::shared_ptr<brindle::AdapterFirmware> firmware;
    std::shared_ptr<kmdf::SimUsbDevice> usb;
    std::shared_ptr<brindle::BrindleMachine> machine;
    kmdf::WDFDEVICE device = nullptr;
    std::string path;
};

}  // namespace quillon::fuzz
