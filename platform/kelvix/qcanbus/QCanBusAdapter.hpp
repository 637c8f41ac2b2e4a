// An adapter on Qt SerialBus devices: one QCanBusDevice per adapter channel,
// living on the Qt event thread. Transmit hands frames to the devices there;
// received frames are stamped and queued per channel for Receive, which waits
// without Qt.
#pragma once

#include <QCanBusDevice>
#include <QPointer>
#include <chrono>
#include <mutex>
#include <string>

#include "platform/kelvix/Adapter.hpp"
#include "platform/kelvix/qcanbus/FrameQueue.hpp"
#include "platform/kelvix/qcanbus/QCanBusOptions.hpp"

namespace kelvix {

class QCanBusAdapter final : public Adapter {
  public:
    explicit QCanBusAdapter(QCanBusOptions options);
    ~QCanBusAdapter() override;
    QCanBusAdapter(const QCanBusAdapter&) = delete;
    QCanBusAdapter& operator=(const QCanBusAdapter&) = delete;

    std::string Open() override;
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
    struct WriteResult {
        std::uint32_t written = 0;
        bool failed = false;  ///< true when the device refused (not merely full)
    };

    /// Creates and connects the channel's device; runs on the Qt thread.
    std::string CreateDevice(std::uint32_t channel);
    /// "" once every device is connected, otherwise what failed or is still pending.
    std::string ConnectionProblem(bool final);
    void OnFramesReceived(std::uint32_t channel);
    /// Hands frames to the device until its write queue is full or it refuses one.
    WriteResult WriteFrames(std::uint32_t channel, std::span<const CanFrameRecord> frames);
    bool WaitForRoom(std::uint32_t channel);
    void Fail(std::uint32_t channel, std::uint32_t code, const std::string& text);
    std::uint32_t ErrorCode(std::uint32_t channel) const;
    std::string Where(std::uint32_t channel) const;
    void DeleteDevices();
    /// Asks every device to disconnect; true while one is still connected.
    bool BeginDisconnect();
    bool AnyConnected() const;

    QCanBusOptions options_;
    QPointer<QCanBusDevice> devices_[CHANNEL_COUNT];  // touched on the Qt thread only
    FrameQueue queues_[CHANNEL_COUNT];
    std::chrono::steady_clock::time_point openedAt_;

    mutable std::mutex errorMutex_;
    CanErrorRecord errors_[CHANNEL_COUNT]{};
    std::string errorTexts_[CHANNEL_COUNT];
};

}  // namespace kelvix
