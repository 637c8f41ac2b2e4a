#include "platform/kelvix/socketcan/SocketCanAdapter.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/kelvix/socketcan/LinuxCanSocketLayer.hpp"

namespace kelvix {
namespace {

// A receive wakes at least this often to notice Close.
constexpr std::int32_t RECEIVE_SLICE_MS = 50;
// Longest single wait for room in the transmit queue before trying again.
constexpr std::int32_t QUEUE_SLICE_MS = 10;
// The kernel may report the socket writable while the interface queue is
// still full (ENOBUFS); this pause keeps the retry from spinning.
constexpr std::uint32_t QUEUE_RETRY_PAUSE_MS = 1;

// The error class bits of an error frame, as 8 hexadecimal digits.
std::string ErrorClass(const SocketCanFrame& frame) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08X", frame.canId & SOCKETCAN_EXTENDED_MASK);
    return text;
}

bool QueueFull(int status) {
    return status == EAGAIN || status == EWOULDBLOCK || status == ENOBUFS;
}

}  // namespace

SocketCanAdapter::SocketCanAdapter(SocketCanOptions options, std::shared_ptr<CanSocketLayer> layer,
                                   quillon::sys::Clock& clock, quillon::sys::Sleeper& sleeper)
    : options_(std::move(options)), layer_(std::move(layer)), clock_(clock), sleeper_(sleeper) {}

SocketCanAdapter::~SocketCanAdapter() {
    CloseSockets();
}

std::string SocketCanAdapter::Open() {
    if (const std::string missing = layer_->Availability(); !missing.empty()) {
        return missing;
    }
    for (std::uint32_t channel = 0; channel < CHANNEL_COUNT; ++channel) {
        const std::string& name = options_.interfaces[channel];
        if (name.empty()) {
            continue;
        }
        std::string error;
        sockets_[channel] = layer_->Open(name, error);
        if (sockets_[channel] < 0) {
            CloseSockets();
            return "channel " + std::to_string(channel) + " on \"" + name + "\": " + error;
        }
    }
    openedMs_ = clock_.MonotonicMs();
    closed_ = false;
    return {};
}

void SocketCanAdapter::Close() {
    closed_ = true;
}

void SocketCanAdapter::CloseSockets() {
    for (int& socket : sockets_) {
        if (socket >= 0) {
            layer_->Close(socket);
            socket = -1;
        }
    }
}

bool SocketCanAdapter::HasSocket(std::uint32_t channel) const {
    return channel < CHANNEL_COUNT && sockets_[channel] >= 0;
}

bool SocketCanAdapter::InitChannel(std::uint32_t channel, const CanInitRecord&) {
    return HasSocket(channel);
}

bool SocketCanAdapter::StartChannel(std::uint32_t channel) {
    return HasSocket(channel);
}

std::uint32_t SocketCanAdapter::Transmit(std::uint32_t channel,
                                         std::span<const CanFrameRecord> frames) {
    if (!HasSocket(channel) || closed_) {
        Fail(channel, KELVIX_ERR_BAD_CHANNEL,
             "channel " + std::to_string(channel) + " has no open interface");
        return 0;
    }
    std::uint32_t sent = 0;
    for (const CanFrameRecord& record : frames) {
        std::string error;
        const auto frame = ToSocketCanFrame(record, error);
        if (!frame) {
            Fail(channel, KELVIX_ERR_BACKEND, options_.interfaces[channel] + ": " + error);
            break;
        }
        if (!SendOne(channel, *frame)) {
            break;
        }
        ++sent;
    }
    return sent;
}

bool SocketCanAdapter::SendOne(std::uint32_t channel, const SocketCanFrame& frame) {
    const int socket = sockets_[channel];
    const std::uint64_t deadline = clock_.MonotonicMs() + options_.queueWaitMs;
    for (;;) {
        const int status = layer_->Send(socket, frame);
        if (status == 0) {
            return true;
        }
        const std::string& name = options_.interfaces[channel];
        if (!QueueFull(status)) {
            Fail(channel, KELVIX_ERR_BACKEND,
                 name + ": send failed (" + std::strerror(status) + ")");
            return false;
        }
        const std::uint64_t now = clock_.MonotonicMs();
        if (now >= deadline || closed_) {
            Fail(channel, KELVIX_ERR_QUEUE_FULL,
                 name + ": transmit queue stayed full for " + std::to_string(options_.queueWaitMs) +
                     " ms");
            return false;
        }
        const auto slice =
            static_cast<std::int32_t>(std::min<std::uint64_t>(deadline - now, QUEUE_SLICE_MS));
        if (layer_->WaitWritable(socket, slice) && status == ENOBUFS) {
            sleeper_.SleepMs(QUEUE_RETRY_PAUSE_MS);
        }
    }
}

std::int32_t SocketCanAdapter::Receive(std::uint32_t channel, std::span<CanFrameRecord> frames,
                                       std::int32_t waitMs) {
    const std::uint64_t deadline =
        clock_.MonotonicMs() + static_cast<std::uint64_t>(std::max(waitMs, 0));
    if (!HasSocket(channel)) {
        // The receive thread polls both channels; an unused one must not
        // turn its loop into a spin, nor outlast a close.
        for (std::uint64_t now = clock_.MonotonicMs(); !closed_ && now < deadline;
             now = clock_.MonotonicMs()) {
            sleeper_.SleepMs(static_cast<std::uint32_t>(
                std::min<std::uint64_t>(deadline - now, RECEIVE_SLICE_MS)));
        }
        return 0;
    }
    for (;;) {
        const std::int32_t taken = TakeWaiting(channel, frames);
        const std::uint64_t now = clock_.MonotonicMs();
        if (taken != 0 || frames.empty() || closed_ || now >= deadline) {
            return taken;
        }
        const auto slice =
            static_cast<std::int32_t>(std::min<std::uint64_t>(deadline - now, RECEIVE_SLICE_MS));
        layer_->WaitReadable(sockets_[channel], slice);
    }
}

std::int32_t SocketCanAdapter::TakeWaiting(std::uint32_t channel,
                                           std::span<CanFrameRecord> frames) {
    std::int32_t stored = 0;
    while (static_cast<std::size_t>(stored) < frames.size()) {
        SocketCanFrame frame;
        const int status = layer_->Take(sockets_[channel], frame);
        if (status == EAGAIN) {
            break;
        }
        const std::string& name = options_.interfaces[channel];
        if (status != 0) {
            Fail(channel, KELVIX_ERR_BACKEND,
                 name + ": receive failed (" + std::strerror(status) + ")");
            return stored > 0 ? stored : -1;
        }
        auto record = FromSocketCanFrame(frame);
        if (!record) {
            Fail(channel, KELVIX_ERR_BACKEND, name + ": bus error, class " + ErrorClass(frame));
            continue;
        }
        record->TimeStamp = static_cast<std::uint32_t>((clock_.MonotonicMs() - openedMs_) * 10);
        record->TimeFlag = 1;
        frames[static_cast<std::size_t>(stored++)] = *record;
    }
    return stored;
}

void SocketCanAdapter::Fail(std::uint32_t channel, std::uint32_t code, const std::string& text) {
    const std::uint32_t slot = channel < CHANNEL_COUNT ? channel : 0;
    std::lock_guard lock(errorMutex_);
    errors_[slot] = CanErrorRecord{};
    errors_[slot].ErrCode = code;
    errorTexts_[slot] = text;
}

CanErrorRecord SocketCanAdapter::TakeError(std::uint32_t channel) {
    std::lock_guard lock(errorMutex_);
    const CanErrorRecord error = errors_[channel];
    errors_[channel] = CanErrorRecord{};
    return error;
}

std::string SocketCanAdapter::LastErrorText(std::uint32_t channel) const {
    std::lock_guard lock(errorMutex_);
    return errorTexts_[channel];
}

bool SocketCanAdapter::SetReference(std::uint32_t channel, std::uint32_t, void*) {
    return HasSocket(channel);
}

std::unique_ptr<Adapter> CreateSocketCanAdapter(const AdapterSpec& spec, std::uint32_t,
                                                std::string& error) {
    auto options = ParseSocketCanOptions(spec.options, error);
    if (!options) {
        return nullptr;
    }
    static quillon::sys::SystemClock clock;
    static quillon::sys::SystemSleeper sleeper;
    return std::make_unique<SocketCanAdapter>(
        std::move(*options), std::make_shared<LinuxCanSocketLayer>(), clock, sleeper);
}

}  // namespace kelvix
