#include "platform/kmdf/HandleApi.hpp"

#include "platform/kmdf/WdfFileObject.hpp"

namespace kmdf {

HandleApi::~HandleApi() {
    std::map<UserHandle, Entry> remaining;
    {
        std::lock_guard lock(mutex_);
        remaining.swap(handles_);
    }
    for (const auto& [handle, entry] : remaining) {
        host_.Io().Close(entry.processId, entry.file);
    }
}

std::vector<std::string> HandleApi::EnumerateInterfaces(const GUID& interfaceClass) const {
    return host_.InterfacePaths(interfaceClass);
}

OpenResult HandleApi::CreateFile(HANDLE processId, std::string_view path) {
    const IoManager::OpenResult opened = host_.Io().Open(processId, path);
    if (!NT_SUCCESS(opened.status)) {
        return OpenResult{opened.status, INVALID_USER_HANDLE};
    }
    std::lock_guard lock(mutex_);
    const UserHandle handle = nextHandle_;
    nextHandle_ += 4;
    handles_.emplace(handle, Entry{processId, opened.file});
    return OpenResult{STATUS_SUCCESS, handle};
}

WDFFILEOBJECT HandleApi::Acquire(HANDLE processId, UserHandle handle) {
    std::lock_guard lock(mutex_);
    auto it = handles_.find(handle);
    if (it == handles_.end() || it->second.processId != processId) {
        return nullptr;
    }
    it->second.file->Reference();
    return it->second.file;
}

template <class Start>
std::shared_ptr<IoOperation> HandleApi::Run(HANDLE processId, UserHandle handle, Start&& start) {
    WDFFILEOBJECT file = Acquire(processId, handle);
    if (file == nullptr) {
        auto failed = std::make_shared<IoOperation>();
        failed->Finish(STATUS_INVALID_HANDLE, 0);
        return failed;
    }
    std::shared_ptr<IoOperation> operation = start(file);
    file->Dereference();
    return operation;
}

std::shared_ptr<IoOperation> HandleApi::BeginRead(HANDLE processId, UserHandle handle,
                                                  std::span<std::uint8_t> buffer) {
    return Run(processId, handle,
               [&](WDFFILEOBJECT file) { return host_.Io().Read(processId, file, buffer); });
}

std::shared_ptr<IoOperation> HandleApi::BeginWrite(HANDLE processId, UserHandle handle,
                                                   std::span<const std::uint8_t> buffer) {
    return Run(processId, handle,
               [&](WDFFILEOBJECT file) { return host_.Io().Write(processId, file, buffer); });
}

std::shared_ptr<IoOperation> HandleApi::BeginDeviceIoControl(HANDLE processId, UserHandle handle,
                                                             ULONG code,
                                                             std::span<const std::uint8_t> input,
                                                             std::span<std::uint8_t> output) {
    return Run(processId, handle, [&](WDFFILEOBJECT file) {
        return host_.Io().DeviceControl(processId, file, code, input, output);
    });
}

IoResult HandleApi::ReadFile(HANDLE processId, UserHandle handle, std::span<std::uint8_t> buffer) {
    return BeginRead(processId, handle, buffer)->Wait();
}

IoResult HandleApi::WriteFile(HANDLE processId, UserHandle handle,
                              std::span<const std::uint8_t> buffer) {
    return BeginWrite(processId, handle, buffer)->Wait();
}

IoResult HandleApi::DeviceIoControl(HANDLE processId, UserHandle handle, ULONG code,
                                    std::span<const std::uint8_t> input,
                                    std::span<std::uint8_t> output) {
    return BeginDeviceIoControl(processId, handle, code, input, output)->Wait();
}

NTSTATUS HandleApi::CancelIo(HANDLE processId, UserHandle handle) {
    WDFFILEOBJECT file = Acquire(processId, handle);
    if (file == nullptr) {
        return STATUS_INVALID_HANDLE;
    }
    host_.Io().CancelIo(file, UserThread::Current().Key());
    file->Dereference();
    return STATUS_SUCCESS;
}

NTSTATUS HandleApi::CancelIoEx(HANDLE processId, UserHandle handle) {
    WDFFILEOBJECT file = Acquire(processId, handle);
    if (file == nullptr) {
        return STATUS_INVALID_HANDLE;
    }
    const std::size_t cancelled = host_.Io().CancelIo(file, 0);
    file->Dereference();
    return cancelled > 0 ? STATUS_SUCCESS : STATUS_NOT_FOUND;
}

NTSTATUS HandleApi::CloseHandle(HANDLE processId, UserHandle handle) {
    Entry entry{};
    {
        std::lock_guard lock(mutex_);
        auto it = handles_.find(handle);
        if (it == handles_.end() || it->second.processId != processId) {
            return STATUS_INVALID_HANDLE;
        }
        entry = it->second;
        handles_.erase(it);
    }
    host_.Io().Close(processId, entry.file);
    return STATUS_SUCCESS;
}

void HandleApi::CloseProcessHandles(HANDLE processId) {
    std::vector<UserHandle> owned;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [handle, entry] : handles_) {
            if (entry.processId == processId) {
                owned.push_back(handle);
            }
        }
    }
    for (UserHandle handle : owned) {
        CloseHandle(processId, handle);
    }
}

}  // namespace kmdf
