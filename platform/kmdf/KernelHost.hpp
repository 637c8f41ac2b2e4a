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
#include "platform/kmdf/SteadyWaiter.hpp"
#include "platform/kmdf/WdfDriver.hpp"

namespace kmdf {

class KernelHost {
  public:
    explicit KernelHost(std::shared_ptr<Waiter> waiter = std::make_shared<SteadyWaiter>());
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
    /// Takes the device off the bus (a surprise removal): its interface goes,
    /// its queue fails every request, a started device is stopped (cancelling
    /// its I/O). Handles still open on it stay valid; the device object is
    /// deleted when the last of them closes, or at once if none is open.
    void Unplug(WDFDEVICE device);
    /// Starts the device; its queue then presents the requests that waited
    /// for the start. A failed start purges the queue.
    NTSTATUS StartDevice(WDFDEVICE device);
    /// Stops the device: its queue holds new requests until the next start,
    /// then the hardware is released (cancelling the I/O in flight).
    NTSTATUS StopDevice(WDFDEVICE device);
    bool IsStarted(WDFDEVICE device) const;
    /// False once the device has been unplugged, even while handles keep it.
    bool IsPresent(WDFDEVICE device) const;
    /// Device objects that exist, unplugged ones kept by open handles included.
    std::size_t DeviceCount() const;

    /// Paths of the started devices' interfaces of `interfaceClass`.
    std::vector<std::string> InterfacePaths(const GUID& interfaceClass) const;
    /// The path of `device`'s interface of `interfaceClass`; empty if none.
    std::string InterfacePathOf(WDFDEVICE device, const GUID& interfaceClass) const;
    /// The present device whose interface path begins `path`, and the rest
    /// of the path (the file name, with its leading backslash); null if none.
    /// The device counts one more file until ReleaseFile.
    WDFDEVICE AcquireForOpen(std::string_view path, std::u16string* fileName);
    /// A file of `device` is gone (closed, or its open failed); the last file
    /// of an unplugged device deletes it.
    void ReleaseFile(WDFDEVICE device);

    static std::string GuidText(const GUID& guid);

  private:
    struct Plugged {
        std::shared_ptr<SimUsbDevice> bus;
        WDFDEVICE device = nullptr;
        std::string pathPrefix;
        bool started = false;
        bool removed = false;
        /// Files on the device, open or being opened.
        std::size_t files = 0;
    };
    Plugged* Find(WDFDEVICE device);
    const Plugged* Find(WDFDEVICE device) const;
    /// Erases an unplugged device without files from the list and deletes it.
    void DeleteIfGone(WDFDEVICE device);

    Kernel kernel_;
    IoManager io_;
    DRIVER_OBJECT driverObject_;
    // Guards the list, not the devices: callbacks run without it.
    mutable std::mutex devicesMutex_;
    std::list<Plugged> devices_;
    unsigned long long instances_ = 0;
};

}  // namespace kmdf
