#include "platform/kmdf/KernelHost.hpp"

#include <cctype>
#include <cstdio>

#include "platform/kmdf/WdfDevice.hpp"
#include "platform/kmdf/WdfDeviceInit.hpp"
#include "platform/kmdf/WdfIoQueue.hpp"

namespace kmdf {

KernelHost::KernelHost(std::shared_ptr<Waiter> waiter) : kernel_(std::move(waiter)), io_(*this) {}

KernelHost::~KernelHost() {
    for (Plugged& plugged : devices_) {
        if (plugged.started) {
            StopDevice(plugged.device);
        }
    }
    io_.CloseAll();
    // Bus threads go before the objects their completions refer to.
    for (Plugged& plugged : devices_) {
        plugged.bus.reset();
    }
    driverObject_.FrameworkDriver.reset();
}

NTSTATUS KernelHost::LoadDriver(PFN_DRIVER_ENTRY entry) {
    UNICODE_STRING registryPath;
    const NTSTATUS status = entry(&driverObject_, &registryPath);
    if (NT_SUCCESS(status) && !driverObject_.FrameworkDriver) {
        return STATUS_INVALID_DEVICE_STATE;
    }
    return status;
}

NTSTATUS KernelHost::PlugIn(std::shared_ptr<SimUsbDevice> device, WDFDEVICE* added) {
    WdfDriver* driver = driverObject_.FrameworkDriver.get();
    if (driver == nullptr || driver->Config().EvtDriverDeviceAdd == nullptr) {
        return STATUS_INVALID_DEVICE_STATE;
    }
    WdfDeviceInit init;
    init.driver = driver;
    init.physicalDevice = device;
    const NTSTATUS status = driver->Config().EvtDriverDeviceAdd(driver, &init);
    if (!NT_SUCCESS(status)) {
        return status;
    }
    if (init.createdDevice == nullptr) {
        return STATUS_INVALID_DEVICE_STATE;
    }
    {
        std::lock_guard lock(devicesMutex_);
        char prefix[96];
        std::snprintf(prefix, sizeof prefix, "\\\\?\\USB#VID_%04X&PID_%04X#%llu#",
                      device->Config().identity.vendorId, device->Config().identity.productId,
                      ++instances_);
        devices_.push_back(Plugged{std::move(device), init.createdDevice, prefix, false});
    }
    if (added != nullptr) {
        *added = init.createdDevice;
    }
    return StartDevice(init.createdDevice);
}

void KernelHost::Unplug(WDFDEVICE device) {
    std::shared_ptr<SimUsbDevice> bus;
    {
        std::lock_guard lock(devicesMutex_);
        Plugged* plugged = Find(device);
        if (plugged == nullptr || plugged->removed) {
            return;
        }
        plugged->removed = true;
        bus = plugged->bus;
    }
    bus->SetConnected(false);
    if (device->DefaultQueue() != nullptr) {
        device->DefaultQueue()->Purge();
    }
    if (IsStarted(device)) {
        StopDevice(device);
    }
    DeleteIfGone(device);
}

void KernelHost::DeleteIfGone(WDFDEVICE device) {
    std::shared_ptr<SimUsbDevice> bus;
    {
        std::lock_guard lock(devicesMutex_);
        for (auto it = devices_.begin(); it != devices_.end(); ++it) {
            if (it->device == device && it->removed && it->files == 0) {
                bus = std::move(it->bus);
                devices_.erase(it);
                break;
            }
        }
    }
    // The bus device goes after the objects whose transfers it completes.
    if (bus) {
        WdfObjectDelete(device);
    }
}

NTSTATUS KernelHost::StartDevice(WDFDEVICE device) {
    {
        std::lock_guard lock(devicesMutex_);
        const Plugged* plugged = Find(device);
        if (plugged == nullptr || plugged->started || plugged->removed) {
            return STATUS_INVALID_DEVICE_STATE;
        }
    }
    const auto prepare = device->Setup().pnpPower.EvtDevicePrepareHardware;
    const NTSTATUS status = prepare != nullptr ? prepare(device, nullptr, nullptr) : STATUS_SUCCESS;
    {
        std::lock_guard lock(devicesMutex_);
        Find(device)->started = NT_SUCCESS(status);
    }
    if (WDFQUEUE queue = device->DefaultQueue(); queue != nullptr) {
        if (NT_SUCCESS(status)) {
            queue->Start();
        } else {
            queue->Purge();
        }
    }
    return status;
}

NTSTATUS KernelHost::StopDevice(WDFDEVICE device) {
    {
        std::lock_guard lock(devicesMutex_);
        Plugged* plugged = Find(device);
        if (plugged == nullptr || !plugged->started) {
            return STATUS_INVALID_DEVICE_STATE;
        }
        plugged->started = false;
    }
    // No handler may run while the hardware is released.
    if (device->DefaultQueue() != nullptr) {
        device->DefaultQueue()->StopAndHold();
    }
    const auto release = device->Setup().pnpPower.EvtDeviceReleaseHardware;
    return release != nullptr ? release(device, nullptr) : STATUS_SUCCESS;
}

std::size_t KernelHost::DeviceCount() const {
    std::lock_guard lock(devicesMutex_);
    return devices_.size();
}

bool KernelHost::IsPresent(WDFDEVICE device) const {
    std::lock_guard lock(devicesMutex_);
    const Plugged* plugged = Find(device);
    return plugged != nullptr && !plugged->removed;
}

bool KernelHost::IsStarted(WDFDEVICE device) const {
    std::lock_guard lock(devicesMutex_);
    const Plugged* plugged = Find(device);
    return plugged != nullptr && plugged->started;
}

std::string KernelHost::GuidText(const GUID& guid) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}",
                  guid.Data1, guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2],
                  guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

std::string KernelHost::InterfacePathOf(WDFDEVICE device, const GUID& interfaceClass) const {
    std::lock_guard lock(devicesMutex_);
    const Plugged* plugged = Find(device);
    if (plugged == nullptr) {
        return {};
    }
    for (const GUID& guid : device->Interfaces()) {
        if (guid == interfaceClass) {
            return plugged->pathPrefix + GuidText(guid);
        }
    }
    return {};
}

std::vector<std::string> KernelHost::InterfacePaths(const GUID& interfaceClass) const {
    std::lock_guard lock(devicesMutex_);
    std::vector<std::string> paths;
    for (const Plugged& plugged : devices_) {
        for (const GUID& guid : plugged.device->Interfaces()) {
            if (plugged.started && !plugged.removed && guid == interfaceClass) {
                paths.push_back(plugged.pathPrefix + GuidText(guid));
            }
        }
    }
    return paths;
}

namespace {

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

WDFDEVICE KernelHost::AcquireForOpen(std::string_view path, std::u16string* fileName) {
    std::lock_guard lock(devicesMutex_);
    for (Plugged& plugged : devices_) {
        if (plugged.removed) {
            continue;
        }
        for (const GUID& guid : plugged.device->Interfaces()) {
            const std::string interfacePath = plugged.pathPrefix + GuidText(guid);
            if (!StartsWithIgnoringCase(path, interfacePath)) {
                continue;
            }
            const std::string_view rest = path.substr(interfacePath.size());
            if (!rest.empty() && rest.front() != '\\') {
                continue;
            }
            fileName->assign(rest.begin(), rest.end());
            ++plugged.files;
            return plugged.device;
        }
    }
    return nullptr;
}

void KernelHost::ReleaseFile(WDFDEVICE device) {
    {
        std::lock_guard lock(devicesMutex_);
        Plugged* plugged = Find(device);
        if (plugged == nullptr || plugged->files == 0) {
            return;
        }
        --plugged->files;
    }
    DeleteIfGone(device);
}

KernelHost::Plugged* KernelHost::Find(WDFDEVICE device) {
    for (Plugged& plugged : devices_) {
        if (plugged.device == device) {
            return &plugged;
        }
    }
    return nullptr;
}

const KernelHost::Plugged* KernelHost::Find(WDFDEVICE device) const {
    for (const Plugged& plugged : devices_) {
        if (plugged.device == device) {
            return &plugged;
        }
    }
    return nullptr;
}

}  // namespace kmdf
