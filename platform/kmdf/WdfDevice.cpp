#include "platform/kmdf/WdfDevice.hpp"

#include <algorithm>
#include <cstring>

#include "platform/kmdf/Kernel.hpp"
#include "platform/kmdf/WdfDriver.hpp"
#include "platform/kmdf/WdfFileObject.hpp"
#include "platform/kmdf/WdfIoQueue.hpp"

namespace kmdf {

WdfDevice::WdfDevice(const WdfDeviceInit& init) : init_(init) {}

WdfDevice::~WdfDevice() {
    requests_.clear();
    DeleteChildren();
}

WDFREQUEST WdfDevice::CreateRequest(WDFFILEOBJECT file, const WDF_REQUEST_PARAMETERS& parameters,
                                    RequestSink sink, std::uint64_t issuingThread) {
    auto request = std::make_unique<WdfRequest>(this, file, parameters, std::move(sink));
    // Set before the request is listed: cancellation reads it from then on.
    request->issuingThread = issuingThread;
    if (init_.hasRequestAttributes) {
        request->ApplyAttributes(&init_.requestAttributes);
    }
    if (file != nullptr) {
        file->Reference();
    }
    WDFREQUEST raw = request.get();
    {
        std::lock_guard lock(requestsMutex_);
        requests_.emplace(raw, std::move(request));
    }
    Kernel::Current().UpdateStats([](FrameworkStats& s) { ++s.requestsCreated; });
    return raw;
}

std::unique_ptr<WdfRequest> WdfDevice::TakeForCompletion(WDFREQUEST request) {
    std::lock_guard lock(requestsMutex_);
    auto it = requests_.find(request);
    if (it == requests_.end()) {
        Kernel::Current().UpdateStats([](FrameworkStats& s) { ++s.invalidCompletions; });
        return nullptr;
    }
    if (it->second->state.load() == WdfRequest::State::Sent) {
        Kernel::Current().UpdateStats([](FrameworkStats& s) { ++s.completedWhileSent; });
        return nullptr;
    }
    std::unique_ptr<WdfRequest> owned = std::move(it->second);
    requests_.erase(it);
    return owned;
}

void WdfDevice::CompleteRequest(WDFREQUEST request, NTSTATUS status,
                                std::optional<ULONG_PTR> information) {
    std::unique_ptr<WdfRequest> owned = TakeForCompletion(request);
    if (!owned) {
        return;
    }
    const ULONG_PTR info = information.value_or(owned->information);
    // The caller's buffer receives output only when the request did not fail,
    // and never more than it can hold.
    if (!NT_ERROR(status) && !owned->userOutput.empty()) {
        const std::size_t count = std::min(
            {static_cast<std::size_t>(info), owned->userOutput.size(), owned->systemBuffer.size()});
        std::memcpy(owned->userOutput.data(), owned->systemBuffer.data(), count);
    }
    if (owned->mdl != nullptr) {
        Kernel::Current().Mdls().Free(owned->mdl);
    }
    RequestSink sink = std::move(owned->sink);
    WDFFILEOBJECT file = owned->file;
    owned.reset();
    Kernel::Current().UpdateStats([](FrameworkStats& s) { ++s.requestsCompleted; });
    if (sink) {
        sink(status, info);
    }
    if (file != nullptr) {
        file->Dereference();
    }
}

std::size_t WdfDevice::CancelRequests(const std::function<bool(const WdfRequest&)>& match) {
    std::vector<WDFREQUEST> unqueued;
    std::size_t cancelled = 0;
    {
        std::lock_guard lock(requestsMutex_);
        for (const auto& [raw, owned] : requests_) {
            if (!match(*raw) || !raw->Cancel()) {
                continue;
            }
            ++cancelled;
            if (defaultQueue_ != nullptr && defaultQueue_->RemoveWaiting(raw)) {
                unqueued.push_back(raw);
            }
        }
    }
    // Out of the queue, so no one else completes them.
    for (WDFREQUEST request : unqueued) {
        CompleteRequest(request, STATUS_CANCELLED, std::nullopt);
    }
    return cancelled;
}

std::size_t WdfDevice::LiveRequests() {
    std::lock_guard lock(requestsMutex_);
    return requests_.size();
}

NTSTATUS WdfDeviceCreate(PWDFDEVICE_INIT* deviceInit, const WDF_OBJECT_ATTRIBUTES* attributes,
                         WDFDEVICE* device) {
    *device = nullptr;
    if (deviceInit == nullptr || *deviceInit == nullptr) {
        return STATUS_INVALID_PARAMETER;
    }
    WdfDeviceInit& init = **deviceInit;
    *device = WdfCreateObject<WdfDevice>(attributes, init.driver, init);
    init.createdDevice = *device;
    *deviceInit = nullptr;
    return STATUS_SUCCESS;
}

void WdfDeviceSetPnpCapabilities(WDFDEVICE device, const WDF_DEVICE_PNP_CAPABILITIES* caps) {
    device->SetPnpCapabilities(*caps);
}

NTSTATUS WdfDeviceCreateDeviceInterface(WDFDEVICE device, const GUID* interfaceClass,
                                        PCUNICODE_STRING referenceString) {
    if (interfaceClass == nullptr || referenceString != nullptr) {
        return STATUS_INVALID_PARAMETER;
    }
    device->AddInterface(*interfaceClass);
    return STATUS_SUCCESS;
}

WDFQUEUE WdfDeviceGetDefaultQueue(WDFDEVICE device) {
    return device->DefaultQueue();
}

}  // namespace kmdf
