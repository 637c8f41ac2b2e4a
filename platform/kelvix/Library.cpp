// The C calls of the adapter library. Argument checks, the open-adapter
// table, error records and tracing live here once; backends only move frames.

#include <map>
#include <mutex>

#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/AdapterTable.hpp"
#include "platform/kelvix/FrameTrace.hpp"
#include "platform/kelvix/Kelvix.h"

namespace kelvix {
namespace {

struct OpenAdapter {
    std::shared_ptr<Adapter> adapter;
    std::shared_ptr<FrameTrace> trace;
    std::mutex errorMutex;  // guards lastError
    CanErrorRecord lastError[CHANNEL_COUNT]{};
};

using Key = std::pair<std::uint32_t, std::uint32_t>;

struct Table {
    std::mutex mutex;
    std::map<Key, std::shared_ptr<OpenAdapter>> open;
    std::string lastOpenError;
};

Table& TheTable() {
    static Table table;
    return table;
}

std::shared_ptr<OpenAdapter> Find(std::uint32_t type, std::uint32_t index) {
    auto& table = TheTable();
    std::lock_guard lock(table.mutex);
    auto found = table.open.find({type, index});
    return found == table.open.end() ? nullptr : found->second;
}

// The adapter for a channel call, or null when it is not open or the channel
// does not exist.
std::shared_ptr<OpenAdapter> ForChannel(std::uint32_t type, std::uint32_t index,
                                        std::uint32_t channel) {
    auto open = Find(type, index);
    if (open && channel >= CHANNEL_COUNT) {
        std::lock_guard lock(open->errorMutex);
        open->lastError[0].ErrCode = KELVIX_ERR_BAD_CHANNEL;
        return nullptr;
    }
    return open;
}

void SetError(OpenAdapter& open, std::uint32_t channel, std::uint32_t code) {
    std::lock_guard lock(open.errorMutex);
    open.lastError[channel].ErrCode = code;
}

}  // namespace

std::string LastOpenError() {
    auto& table = TheTable();
    std::lock_guard lock(table.mutex);
    return table.lastOpenError;
}

void CloseAllOpenAdapters() {
    std::map<Key, std::shared_ptr<OpenAdapter>> closing;
    {
        auto& table = TheTable();
        std::lock_guard lock(table.mutex);
        closing.swap(table.open);
    }
    for (auto& [key, open] : closing) {
        open->adapter->Close();
    }
}

}  // namespace kelvix

using kelvix::CHANNEL_COUNT;

extern "C" {

uint32_t VCI_OpenDevice(uint32_t deviceType, uint32_t index, uint32_t /*reserved*/) {
    if (kelvix::Find(deviceType, index)) {
        return 1;
    }
    const std::string spec = kelvix::CurrentAdapterSpec();
    std::string error;
    std::shared_ptr<kelvix::Adapter> adapter =
        kelvix::CreateAdapter(spec, deviceType, index, error);
    if (adapter && error.empty()) {
        error = adapter->Open();
    }
    auto& table = kelvix::TheTable();
    std::lock_guard lock(table.mutex);
    auto open = std::make_shared<kelvix::OpenAdapter>();
    if (const std::string tracePath = kelvix::CurrentTraceFile(); !tracePath.empty() && adapter) {
        open->trace = std::make_shared<kelvix::FrameTrace>(tracePath, kelvix::TraceClock());
        if (error.empty() && !open->trace->IsOpen()) {
            error = "trace: " + open->trace->Error();
            adapter->Close();
        }
    }
    if (!adapter || !error.empty()) {
        // The spec comes from the command line or kelvix.conf: never echo its
        // control characters to a terminal as they are.
        table.lastOpenError = kelvix::EscapeControlCharacters("adapter " + std::to_string(index) +
                                                              " (" + spec + "): " + error);
        return 0;
    }
    open->adapter = std::move(adapter);
    table.open[{deviceType, index}] = std::move(open);
    table.lastOpenError.clear();
    return 1;
}

uint32_t VCI_CloseDevice(uint32_t deviceType, uint32_t index) {
    std::shared_ptr<kelvix::OpenAdapter> open;
    {
        auto& table = kelvix::TheTable();
        std::lock_guard lock(table.mutex);
        auto found = table.open.find({deviceType, index});
        if (found == table.open.end()) {
            return 0;
        }
        open = found->second;
        table.open.erase(found);
    }
    open->adapter->Close();
    return 1;
}

uint32_t VCI_InitCAN(uint32_t deviceType, uint32_t index, uint32_t channel,
                     const CanInitRecord* init) {
    auto open = kelvix::ForChannel(deviceType, index, channel);
    if (!open || init == nullptr) {
        return 0;
    }
    return open->adapter->InitChannel(channel, *init) ? 1 : 0;
}

uint32_t VCI_StartCAN(uint32_t deviceType, uint32_t index, uint32_t channel) {
    auto open = kelvix::ForChannel(deviceType, index, channel);
    if (!open) {
        return 0;
    }
    return open->adapter->StartChannel(channel) ? 1 : 0;
}

uint32_t VCI_Transmit(uint32_t deviceType, uint32_t index, uint32_t channel,
                      const CanFrameRecord* frames, uint32_t count) {
    auto open = kelvix::ForChannel(deviceType, index, channel);
    if (!open || frames == nullptr) {
        return 0;
    }
    const std::uint32_t sent = open->adapter->Transmit(channel, {frames, count});
    if (open->trace) {
        for (std::uint32_t i = 0; i < sent && i < count; ++i) {
            open->trace->Write(frames[i], channel, kelvix::TraceDirection::Transmitted);
        }
    }
    if (sent != count) {
        kelvix::SetError(*open, channel, KELVIX_ERR_BACKEND);
    }
    return sent;
}

int32_t VCI_Receive(uint32_t deviceType, uint32_t index, uint32_t channel, CanFrameRecord* frames,
                    uint32_t capacity, int32_t waitMs) {
    auto open = kelvix::ForChannel(deviceType, index, channel);
    if (!open || frames == nullptr) {
        return -1;
    }
    const std::int32_t received = open->adapter->Receive(channel, {frames, capacity}, waitMs);
    if (received < 0) {
        kelvix::SetError(*open, channel, KELVIX_ERR_BACKEND);
        return received;
    }
    if (open->trace) {
        for (std::int32_t i = 0; i < received; ++i) {
            open->trace->Write(frames[i], channel, kelvix::TraceDirection::Received);
        }
    }
    return received;
}

uint32_t VCI_ReadErrInfo(uint32_t deviceType, uint32_t index, uint32_t channel,
                         CanErrorRecord* error) {
    if (error == nullptr) {
        return 0;
    }
    auto open = kelvix::ForChannel(deviceType, index, channel);
    if (!open) {
        *error = CanErrorRecord{};
        error->ErrCode = KELVIX_ERR_NOT_OPEN;
        return 0;
    }
    CanErrorRecord fromBackend = open->adapter->TakeError(channel);
    {
        std::lock_guard lock(open->errorMutex);
        if (fromBackend.ErrCode == 0) {
            fromBackend.ErrCode = open->lastError[channel].ErrCode;
        }
        open->lastError[channel] = CanErrorRecord{};
    }
    *error = fromBackend;
    return 1;
}

uint32_t VCI_SetReference(uint32_t deviceType, uint32_t index, uint32_t channel, uint32_t refType,
                          void* data) {
    auto open = kelvix::ForChannel(deviceType, index, channel);
    if (!open) {
        return 0;
    }
    return open->adapter->SetReference(channel, refType, data) ? 1 : 0;
}

}  // extern "C"
