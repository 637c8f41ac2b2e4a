// The simulated machine: a kernel, one loaded driver, the USB devices plugged
// into it and their device interfaces, and the I/O manager that turns
// user-mode calls into requests.
//
// Interface paths look like
//   \\?\USB#VID_5155&PID_4C01#1#{00873fdf-61a8-11d1-aa5e-00c04fb1728b}
// and a file on the device is opened as "<interface path>\<file name>".
#pragma once

#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/kmdf/IoManager.hpp"
#include "platform/kmdf/Kernel.hpp"
#include "platform/kmdf/SimUsbDevice.hpp"
#include "platform/kmdf/SteadyClock.hpp"
#include "platform/kmdf/WdfDriver.hpp"

namespace kmdf {

class KernelHost {
  public:
    explicit KernelHost(std::shared_ptr<Clock> clock = std::make_shared<SteadyClock>());
    /// Stops every started device (cancelling its I/O) before tearing down.
    ~KernelHost();
    KernelHost(const KernelHost&) = delete;
    KernelHost& operator=(const KernelHost&) = delete;

    Kernel& GetKernel() { return kernel_; }
    IoManager& Io() { return io_; }

    /// Runs the driver's entry point; it must create its framework driver.
    NTSTATUS LoadDriver(PFN_DRIVER_ENTRY entry);
    /// Adds a device object for `device` through the driver and starts it.
    /// On success `*added` (if given) is the new device object.
    NTSTATUS PlugIn(std::shared_ptr<SimUsbDevice> device, WDFDEVICE* added = nullptr);
    /// Stops the device if it runs, closes the files still open on it,
    /// deletes the device object and lets the bus device go.
    void Unplug(WDFDEVICE device);
    NTSTATUS StartDevice(WDFDEVICE device);
    NTSTATUS StopDevice(WDFDEVICE device);
    bool IsStarted(WDFDEVICE device) const;

    /// Paths of the started devices' interfaces of `interfaceClass`.
    std::vector<std::string> InterfacePaths(const GUID& interfaceClass) const;
    /// The path of `device`'s interface of `interfaceClass`; empty if none.
    std::string InterfacePathOf(WDFDEVICE device, const GUID& interfaceClass) const;
    /// The device whose interface path begins `path`, and the rest of the
    /// path (the file name, with its leading backslash); null if none.
    WDFDEVICE ResolvePath(std::string_view path, std::u16string* fileName) const;

    static std::string GuidText(const GUID& guid);

  private:
    struct Plugged {
        std::shared_ptr<SimUsbDevice> bus;
        WDFDEVICE device = nullptr;
        std::string pathPrefix;
        bool started = false;
    };
    Plugged* Find(WDFDEVICE device);
    const Plugged* Find(WDFDEVICE device) const;

    Kernel kernel_;
    IoManager io_;
    DRIVER_OBJECT driverObject_;
    // Guards the list, not the devices: callbacks run without it.
    mutable std::mutex devicesMutex_;
    std::list<Plugged> devices_;
    unsigned long long instances_ = 0;
};

}  // namespace kmdf
