// The "socketcan" backend: adapter channels 0 and 1 on Linux CAN network
// interfaces (can0, vcan0, ...) through raw CAN sockets, one per channel.
//
// The interface's bit rate belongs to the system (it is set when the
// interface is brought up), so InitChannel only checks the channel. A full
// transmit queue is waited out for the configured time before a frame is
// refused, so that a long stream survives a busy bus. Failures go to the
// channel's error record with a text saying what failed where.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/kelvix/Adapter.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/socketcan/CanSocketLayer.hpp"
#include "platform/kelvix/socketcan/SocketCanOptions.hpp"
#include "platform/system/Clock.hpp"
#include "platform/system/Sleeper.hpp"

namespace kelvix {

class SocketCanAdapter final : public Adapter {
  public:
    /// `clock` and `sleeper` outlive the adapter.
    SocketCanAdapter(SocketCanOptions options, std::shared_ptr<CanSocketLayer> layer,
                     quillon::sys::Clock& clock, quillon::sys::Sleeper& sleeper);
    ~SocketCanAdapter() override;
    SocketCanAdapter(const SocketCanAdapter&) = delete;
    SocketCanAdapter& operator=(const SocketCanAdapter&) = delete;

    std::string Open() override;
    /// Stops waiting receives; the sockets close with the adapter, when no
    /// call can still be using them.
    void Close() override;
    bool InitChannel(std::uint32_t channel, const CanInitRecord& init) override;
    bool StartChannel(std::uint32_t channel) override;
    std::uint32_t Transmit(std::uint32_t channel, std::span<const CanFrameRecord> frames) override;
    std::int32_t Receive(std::uint32_t channel, std::span<CanFrameRecord> frames,
                         std::int32_t waitMs) override;
    CanErrorRecord TakeError(std::uint32_t channel) override;
    bool SetReference(std::uint32_t channel, std::uint32_t refType, void* data) override;

    /// The text of the channel's last error ("" when none); kept after TakeError.
    std::string LastErrorText(std::uint32_t channel) const;

  private:
    bool HasSocket(std::uint32_t channel) const;
    bool SendOne(std::uint32_t channel, const SocketCanFrame& frame);
    /// Moves waiting frames into `frames`; -1 when the socket failed before any.
    std::int32_t TakeWaiting(std::uint32_t channel, std::span<CanFrameRecord> frames);
    void Fail(std::uint32_t channel, std::uint32_t code, const std::string& text);
    void CloseSockets();

    SocketCanOptions options_;
    std::shared_ptr<CanSocketLayer> layer_;
    quillon::sys::Clock& clock_;
    quillon::sys::Sleeper& sleeper_;
    int sockets_[CHANNEL_COUNT] = {-1, -1};
    std::uint64_t openedMs_ = 0;
    std::atomic<bool> closed_{false};

    mutable std::mutex errorMutex_;
    CanErrorRecord errors_[CHANNEL_COUNT]{};
    std::string errorTexts_[CHANNEL_COUNT];
};

/// The registry's factory for "socketcan:..." specs, on the kernel's sockets.
std::unique_ptr<Adapter> CreateSocketCanAdapter(const AdapterSpec& spec, std::uint32_t index,
                                                std::string& error);

}  // namespace kelvix
