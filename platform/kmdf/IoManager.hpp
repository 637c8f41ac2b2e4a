// Turns user-mode calls into framework requests: creates file objects and
// their create requests, builds read/write requests with a list of the
// caller's buffer and control requests with a system buffer, presents them
// on the device's default queue, and runs cleanup and close on a handle's
// last close. Each call runs on behalf of a simulated process.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <span>
#include <string_view>

#include "platform/kmdf/IoOperation.hpp"
#include "platform/kmdf/UserThread.hpp"
#include "platform/kmdf/WdfConfig.hpp"
#include "platform/kmdf/WdfTypes.hpp"

namespace kmdf {

class KernelHost;

class IoManager final : public ThreadIoCanceller {
  public:
    explicit IoManager(KernelHost& host);
    ~IoManager() override;
    IoManager(const IoManager&) = delete;
    IoManager& operator=(const IoManager&) = delete;

    struct OpenResult {
        NTSTATUS status = STATUS_SUCCESS;
        WDFFILEOBJECT file = nullptr;
    };
    OpenResult Open(HANDLE processId, std::string_view path);

    // The caller keeps a reference on `file` for the duration of each call;
    // buffers must stay valid until the operation is done.
    std::shared_ptr<IoOperation> Read(HANDLE processId, WDFFILEOBJECT file,
                                      std::span<std::uint8_t> buffer);
    std::shared_ptr<IoOperation> Write(HANDLE processId, WDFFILEOBJECT file,
                                       std::span<const std::uint8_t> buffer);
    std::shared_ptr<IoOperation> DeviceControl(HANDLE processId, WDFFILEOBJECT file, ULONG code,
                                               std::span<const std::uint8_t> input,
                                               std::span<std::uint8_t> output);
    /// Cancels the file's requests still waiting in the queue, runs cleanup,
    /// waits for the file's outstanding requests, runs close and deletes the
    /// file object.
    void Close(HANDLE processId, WDFFILEOBJECT file);
    /// Closes every file still open, on behalf of the system.
    void CloseAll();

    /// Cancels the requests on `file` that `threadKey` issued (every
    /// thread's when 0); the caller keeps a reference on `file`. Returns how
    /// many were cancelled. They still complete, each exactly once.
    std::size_t CancelIo(WDFFILEOBJECT file, std::uint64_t threadKey);
    /// Cancels every request the ending thread `threadKey` issued.
    void CancelThreadIo(std::uint64_t threadKey) override;

  private:
    std::shared_ptr<IoOperation> Present(HANDLE processId, WDFFILEOBJECT file,
                                         const WDF_REQUEST_PARAMETERS& parameters, void* buffer,
                                         std::span<const std::uint8_t> input,
                                         std::span<std::uint8_t> output);

    KernelHost& host_;
    std::mutex mutex_;
    std::set<WDFFILEOBJECT> open_;
};

}  // namespace kmdf
