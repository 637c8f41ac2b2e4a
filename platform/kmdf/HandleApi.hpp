// The user-mode side: find a device by its interface class, open a handle on
// it (plus a file name), read, write, send control requests and close. Each
// call names the simulated process making it; a handle belongs to the
// process that opened it and is not valid in any other.
//
// Example:
//   auto paths = api.EnumerateInterfaces(guid);
//   auto open = api.CreateFile(pid, paths[0] + "\\PIPE00");
//   IoResult r = api.ReadFile(pid, open.handle, buffer);
//   api.CloseHandle(pid, open.handle);
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "platform/kmdf/IoOperation.hpp"
#include "platform/kmdf/KernelHost.hpp"

namespace kmdf {

using UserHandle = std::uint64_t;
inline constexpr UserHandle INVALID_USER_HANDLE = 0;

struct OpenResult {
    NTSTATUS status = STATUS_SUCCESS;
    UserHandle handle = INVALID_USER_HANDLE;
};

class HandleApi {
  public:
    explicit HandleApi(KernelHost& host) : host_(host) {}
    /// Closes every handle still open, as the end of their processes would.
    ~HandleApi();
    HandleApi(const HandleApi&) = delete;
    HandleApi& operator=(const HandleApi&) = delete;

    std::vector<std::string> EnumerateInterfaces(const GUID& interfaceClass) const;
    OpenResult CreateFile(HANDLE processId, std::string_view path);

    /// Waits for the outcome.
    IoResult ReadFile(HANDLE processId, UserHandle handle, std::span<std::uint8_t> buffer);
    IoResult WriteFile(HANDLE processId, UserHandle handle, std::span<const std::uint8_t> buffer);
    IoResult DeviceIoControl(HANDLE processId, UserHandle handle, ULONG code,
                             std::span<const std::uint8_t> input, std::span<std::uint8_t> output);

    /// Start the call and return at once; the buffers must outlive the operation.
    std::shared_ptr<IoOperation> BeginRead(HANDLE processId, UserHandle handle,
                                           std::span<std::uint8_t> buffer);
    std::shared_ptr<IoOperation> BeginWrite(HANDLE processId, UserHandle handle,
                                            std::span<const std::uint8_t> buffer);
    std::shared_ptr<IoOperation> BeginDeviceIoControl(HANDLE processId, UserHandle handle,
                                                      ULONG code,
                                                      std::span<const std::uint8_t> input,
                                                      std::span<std::uint8_t> output);

    /// Cancels the requests the calling thread issued on `handle`; each
    /// still completes exactly once (with STATUS_CANCELLED unless it was
    /// finishing anyway). STATUS_INVALID_HANDLE if the handle is not one of
    /// `processId`'s.
    NTSTATUS CancelIo(HANDLE processId, UserHandle handle);
    /// As CancelIo for the requests of every thread; STATUS_NOT_FOUND when
    /// no request was left to cancel.
    NTSTATUS CancelIoEx(HANDLE processId, UserHandle handle);

    /// Closes the handle: the driver's cleanup runs at once, and the call
    /// returns once every request on the handle has completed.
    NTSTATUS CloseHandle(HANDLE processId, UserHandle handle);
    /// Closes every handle of `processId`.
    void CloseProcessHandles(HANDLE processId);

  private:
    struct Entry {
        HANDLE processId;
        WDFFILEOBJECT file;
    };
    /// References the handle's file for one call; null if the handle is not
    /// one of `processId`'s.
    WDFFILEOBJECT Acquire(HANDLE processId, UserHandle handle);
    template <class Start>
    std::shared_ptr<IoOperation> Run(HANDLE processId, UserHandle handle, Start&& start);

    KernelHost& host_;
    std::mutex mutex_;
    std::map<UserHandle, Entry> handles_;
    UserHandle nextHandle_ = 0x100;
};

}  // namespace kmdf
