#include "platform/kmdf/IoManager.hpp"

#include <algorithm>
#include <cstring>

#include "platform/kmdf/KernelHost.hpp"
#include "platform/kmdf/WdfDevice.hpp"
#include "platform/kmdf/WdfFileObject.hpp"
#include "platform/kmdf/WdfIoQueue.hpp"

namespace kmdf {

IoManager::IoManager(KernelHost& host) : host_(host) {
    UserThread::Register(this);
}

IoManager::~IoManager() {
    UserThread::Unregister(this);
}

IoManager::OpenResult IoManager::Open(HANDLE processId, std::string_view path) {
    std::u16string fileName;
    WDFDEVICE device = host_.AcquireForOpen(path, &fileName);
    if (device == nullptr) {
        return OpenResult{STATUS_OBJECT_NAME_NOT_FOUND, nullptr};
    }
    ProcessScope scope(processId);
    const WdfDeviceInit& setup = device->Setup();
    WDF_OBJECT_ATTRIBUTES attributes = setup.fileAttributes;
    WDFFILEOBJECT file = WdfCreateObject<WdfFileObject>(&attributes, device, device, fileName);
    auto operation = std::make_shared<IoOperation>();
    WDF_REQUEST_PARAMETERS parameters;
    parameters.Type = WdfRequestTypeCreate;
    WDFREQUEST request = device->CreateRequest(
        file, parameters, [operation](NTSTATUS s, ULONG_PTR i) { operation->Finish(s, i); });
    if (setup.hasFileObjectConfig && setup.fileObjectConfig.EvtDeviceFileCreate != nullptr) {
        setup.fileObjectConfig.EvtDeviceFileCreate(device, request, file);
    } else {
        WdfRequestComplete(request, STATUS_SUCCESS);
    }
    const IoResult result = operation->Wait();
    if (!NT_SUCCESS(result.status)) {
        file->WaitUnreferenced();
        WdfObjectDelete(file);
        host_.ReleaseFile(device);
        return OpenResult{result.status, nullptr};
    }
    std::lock_guard lock(mutex_);
    open_.insert(file);
    return OpenResult{STATUS_SUCCESS, file};
}

std::shared_ptr<IoOperation> IoManager::Present(HANDLE processId, WDFFILEOBJECT file,
                                                const WDF_REQUEST_PARAMETERS& parameters,
                                                void* buffer, std::span<const std::uint8_t> input,
                                                std::span<std::uint8_t> output) {
    ProcessScope scope(processId);
    WDFDEVICE device = file->Device();
    auto operation = std::make_shared<IoOperation>();
    // A request presented after the cleanup's abort would wait forever.
    if (!file->BeginDispatch()) {
        operation->Finish(STATUS_FILE_CLOSED, 0);
        return operation;
    }
    UserThread& thread = UserThread::Current();
    thread.Track(operation);
    WDFREQUEST request = device->CreateRequest(
        file, parameters, [operation](NTSTATUS s, ULONG_PTR i) { operation->Finish(s, i); },
        thread.Key());
    if (buffer != nullptr && parameters.Length > 0) {
        // Direct I/O: the caller's pages are locked and described, never copied.
        request->mdl =
            Kernel::Current().Mdls().Allocate(buffer, static_cast<ULONG>(parameters.Length));
        request->mdl->MdlFlags |= MDL_PAGES_LOCKED;
    }
    if (parameters.Type == WdfRequestTypeDeviceControl) {
        request->systemBuffer.assign(std::max(input.size(), output.size()), 0);
        std::copy(input.begin(), input.end(), request->systemBuffer.begin());
        request->userOutput = output;
    }
    if (device->DefaultQueue() == nullptr) {
        WdfRequestComplete(request, STATUS_INVALID_DEVICE_REQUEST);
    } else {
        device->DefaultQueue()->Dispatch(request);
    }
    file->EndDispatch();
    return operation;
}

std::shared_ptr<IoOperation> IoManager::Read(HANDLE processId, WDFFILEOBJECT file,
                                             std::span<std::uint8_t> buffer) {
    WDF_REQUEST_PARAMETERS parameters;
    parameters.Type = WdfRequestTypeRead;
    parameters.Length = buffer.size();
    return Present(processId, file, parameters, buffer.data(), {}, {});
}

std::shared_ptr<IoOperation> IoManager::Write(HANDLE processId, WDFFILEOBJECT file,
                                              std::span<const std::uint8_t> buffer) {
    WDF_REQUEST_PARAMETERS parameters;
    parameters.Type = WdfRequestTypeWrite;
    parameters.Length = buffer.size();
    // The bus only reads from a write's buffer.
    return Present(processId, file, parameters, const_cast<std::uint8_t*>(buffer.data()), {}, {});
}

std::shared_ptr<IoOperation> IoManager::DeviceControl(HANDLE processId, WDFFILEOBJECT file,
                                                      ULONG code,
                                                      std::span<const std::uint8_t> input,
                                                      std::span<std::uint8_t> output) {
    WDF_REQUEST_PARAMETERS parameters;
    parameters.Type = WdfRequestTypeDeviceControl;
    parameters.IoControlCode = code;
    parameters.InputBufferLength = input.size();
    parameters.OutputBufferLength = output.size();
    return Present(processId, file, parameters, nullptr, input, output);
}

void IoManager::Close(HANDLE processId, WDFFILEOBJECT file) {
    {
        std::lock_guard lock(mutex_);
        if (open_.erase(file) == 0) {
            return;
        }
    }
    file->MarkClosing();
    ProcessScope scope(processId);
    WDFDEVICE device = file->Device();
    // Requests still waiting in the queue would never reach the driver now.
    if (device->DefaultQueue() != nullptr) {
        device->DefaultQueue()->CancelWaitingOf(file);
    }
    const WdfDeviceInit& setup = device->Setup();
    const bool configured = setup.hasFileObjectConfig;
    if (configured && setup.fileObjectConfig.EvtFileCleanup != nullptr) {
        setup.fileObjectConfig.EvtFileCleanup(file);
    }
    file->WaitUnreferenced();
    if (configured && setup.fileObjectConfig.EvtFileClose != nullptr) {
        setup.fileObjectConfig.EvtFileClose(file);
    }
    WdfObjectDelete(file);
    host_.ReleaseFile(device);
}

std::size_t IoManager::CancelIo(WDFFILEOBJECT file, std::uint64_t threadKey) {
    return file->Device()->CancelRequests([&](const WdfRequest& request) {
        return request.file == file && (threadKey == 0 || request.issuingThread == threadKey);
    });
}

void IoManager::CancelThreadIo(std::uint64_t threadKey) {
    // Files in the set cannot be deleted while it is locked, nor their devices.
    std::lock_guard lock(mutex_);
    std::set<WDFDEVICE> devices;
    for (WDFFILEOBJECT file : open_) {
        devices.insert(file->Device());
    }
    for (WDFDEVICE device : devices) {
        device->CancelRequests(
            [&](const WdfRequest& request) { return request.issuingThread == threadKey; });
    }
}

void IoManager::CloseAll() {
    std::set<WDFFILEOBJECT> files;
    {
        std::lock_guard lock(mutex_);
        files = open_;
    }
    for (WDFFILEOBJECT file : files) {
        Close(SYSTEM_PROCESS_ID, file);
    }
}

}  // namespace kmdf
