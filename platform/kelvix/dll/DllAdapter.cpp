#include "platform/kelvix/dll/DllAdapter.hpp"

#include <map>
#include <mutex>

#include "platform/system/Utf8Path.hpp"

namespace kelvix {
namespace {

// Libraries already loaded, by path as given: each is loaded and checked once.
std::optional<KelvixCalls> LoadOnce(const std::string& path, std::string& error) {
    static std::mutex mutex;
    static std::map<std::string, KelvixCalls> loaded;
    std::lock_guard lock(mutex);
    if (auto found = loaded.find(path); found != loaded.end()) {
        return found->second;
    }
    auto library = quillon::sys::SharedLibrary::Load(quillon::sys::PathFromUtf8(path), error);
    if (!library) {
        return std::nullopt;
    }
    auto calls = FindKelvixCalls(std::move(library), error);
    if (calls) {
        loaded.emplace(path, *calls);
    }
    return calls;
}

}  // namespace

DllAdapter::DllAdapter(KelvixCalls calls, std::uint32_t deviceType, std::uint32_t index)
    : calls_(std::move(calls)), deviceType_(deviceType), index_(index) {}

std::string DllAdapter::Open() {
    const std::uint32_t result = calls_.openDevice(deviceType_, index_, 0);
    if (result == 1) {
        return {};
    }
    return "VCI_OpenDevice of " + quillon::sys::PathToUtf8(calls_.library->Path()) + " returned " +
           std::to_string(result);
}

void DllAdapter::Close() {
    calls_.closeDevice(deviceType_, index_);
}

bool DllAdapter::InitChannel(std::uint32_t channel, const CanInitRecord& init) {
    return calls_.initCan(deviceType_, index_, channel, &init) == 1;
}

bool DllAdapter::StartChannel(std::uint32_t channel) {
    return calls_.startCan(deviceType_, index_, channel) == 1;
}

std::uint32_t DllAdapter::Transmit(std::uint32_t channel, std::span<const CanFrameRecord> frames) {
    return calls_.transmit(deviceType_, index_, channel, frames.data(),
                           static_cast<std::uint32_t>(frames.size()));
}

std::int32_t DllAdapter::Receive(std::uint32_t channel, std::span<CanFrameRecord> frames,
                                 std::int32_t waitMs) {
    return calls_.receive(deviceType_, index_, channel, frames.data(),
                          static_cast<std::uint32_t>(frames.size()), waitMs);
}

CanErrorRecord DllAdapter::TakeError(std::uint32_t channel) {
    CanErrorRecord error{};
    if (calls_.readErrInfo(deviceType_, index_, channel, &error) != 1) {
        return CanErrorRecord{};
    }
    return error;
}

bool DllAdapter::SetReference(std::uint32_t channel, std::uint32_t refType, void* data) {
    return calls_.setReference(deviceType_, index_, channel, refType, data) == 1;
}

std::unique_ptr<Adapter> CreateDllAdapter(const AdapterSpec& spec, std::uint32_t index,
                                          std::string& error) {
    if (spec.options.empty()) {
        error = "dll: needs the path of an adapter library, e.g. dll:/opt/adapter/libkelvix.so";
        return nullptr;
    }
    auto calls = LoadOnce(spec.options, error);
    if (!calls) {
        return nullptr;
    }
    return std::make_unique<DllAdapter>(std::move(*calls), spec.deviceType, index);
}

}  // namespace kelvix
