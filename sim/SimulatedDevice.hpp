// The firmware side of the configuration protocol on a virtual CAN bus: it
// keeps a parameter store, applies a parameter write when its closing command
// arrives, answers the read request and the storage initialisation,
// reassembles DTU parameter frames into the two DTU records, and keeps the
// debug text it receives, answering every line with one message per level.
//
// Threading: the device runs its own thread (unless its config says
// otherwise, when the owner calls HandleDelivered); every accessor is
// thread-safe.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/kelvix/SimAdapter.hpp"
#include "platform/kelvix/VirtualCanBus.hpp"
#include "platform/system/Clock.hpp"
#include "protocol/Cpc1crypt.hpp"
#include "protocol/DtuAdvPara.hpp"
#include "protocol/DtuBasicPara.hpp"
#include "protocol/DtuFrameReader.hpp"
#include "protocol/SettingsSections.hpp"
#include "sim/Bootloader.hpp"
#include "sim/DeviceBehaviour.hpp"
#include "sim/DeviceConfig.hpp"
#include "sim/FaultDice.hpp"
#include "sim/RecordStorage.hpp"

namespace quillon::sim {

class SimulatedDevice final : public kelvix::SimulatedNode {
  public:
    /// Receives one line for each notable event ("parameter write applied", ...).
    using EventLog = std::function<void(const std::string&)>;

    SimulatedDevice(std::shared_ptr<kelvix::VirtualCanBus> bus, DeviceConfig config,
                    sys::Clock& clock, EventLog log = {});
    ~SimulatedDevice() override;
    SimulatedDevice(const SimulatedDevice&) = delete;
    SimulatedDevice& operator=(const SimulatedDevice&) = delete;

    /// The parameter store as last applied.
    protocol::SettingsSections Parameters() const;
    void SetParameters(const protocol::SettingsSections& parameters);
    /// Parameter writes applied since start.
    std::uint64_t WritesApplied() const;
    /// Deciphered DTU parameter frames of the last DTU write, in
    /// order; at most DTU_FRAME_CAPACITY of them are kept.
    std::vector<CanFrameRecord> DtuFrames() const;
    /// The DTU records as the DTU writes so far left them: every field that
    /// arrived whole replaced; what the frames do not carry stays zero.
    protocol::DtuBasicPara DtuBasic() const;
    protocol::DtuAdvPara DtuAdvanced() const;
    /// Debug text received from the PC, as bytes.
    std::string DebugText() const;
    /// Time (year - 2000, month, day, hour, minute, second) of the last write's frame 5.
    std::array<std::uint8_t, 6> LastTime() const;
    /// Frames heard and handled: whatever a frame set in motion (a scheduled
    /// reply, a stored record) is in place once it is counted.
    std::uint64_t FramesReceived() const { return framesReceived_.load(); }
    /// Takes every frame delivered so far and sends the replies now due, on
    /// the caller's thread; for a device made without a thread of its own.
    /// Returns how many frames it took.
    std::size_t HandleDelivered();
    /// The boot loader that takes erase, program and image data frames.
    const Bootloader& Loader() const { return bootloader_; }
    /// Why the state file was not taken (damaged, foreign, unreadable); empty
    /// when it was, or when there was none. Set once at construction.
    const std::string& StateWarning() const { return stateWarning_; }
    /// Starts the device's behaviour again from the parameter store, as the
    /// device does when it starts and on the debug line "restart": a written
    /// configuration takes effect here.
    void Restart();
    /// What the device's behaviour did since it last started; nothing for a
    /// type without one.
    std::optional<behaviour::ModelReport> BehaviourReport() const;

  private:
    /// A parameter write as it arrives. Each channel keeps its own order, but
    /// the two channels may be interleaved any way (two sockets, two buses),
    /// so the write is complete when everything of it has been seen: the
    /// opening, both channels' acceptance-filter blocks (channel 0's last
    /// frames) and the closing command (channel 1's last), in any order. A
    /// write of the opening and closing alone is complete with those two.
    struct WriteInProgress {
        bool active = false;
        bool opened = false;
        bool closed = false;
        bool carriesParameters = false;
        std::array<bool, 2> filtersAnnounced{};
        std::array<std::size_t, 2> filtersExpected{};
        std::array<std::size_t, 2> filtersSeen{};
    };

    struct PendingReply {
        std::uint64_t dueMs;
        std::uint32_t channel;
        CanFrameRecord frame;
    };

    void Run();
    /// Takes up to one batch of delivered frames (waiting at most `wait` for
    /// the first), then sends what is due; returns how many it took.
    std::size_t TakeBatch(std::chrono::milliseconds wait);
    void OnFrame(std::uint32_t channel, const CanFrameRecord& received);
    void Dispatch(std::uint32_t channel, const CanFrameRecord& received);
    /// Traffic for the device's behaviour (not its configuration).
    void Behave(std::uint32_t channel, const CanFrameRecord& received);
    void SendBehaviourFrames();
    void ClearStorage();
    std::int64_t NowUs() const;
    void OnStandardFrame(std::uint32_t channel, const CanFrameRecord& frame);
    void OnUpgradeFrame(const CanFrameRecord& frame);
    void OnParameterFrame(std::uint32_t channel, const CanFrameRecord& frame);
    // Called with mutex_ held.
    void OnDtuFrame(const CanFrameRecord& frame);
    // Called with mutex_ held.
    void JoinWrite();
    void CountFilterFrame(std::uint32_t channel, const CanFrameRecord& frame,
                          const protocol::HardFilterPara& decoded);
    void ApplyWriteIfComplete();
    void OnDebugText(std::uint32_t channel, const CanFrameRecord& frame);
    void AnswerDebugLine(std::uint32_t channel, std::string_view line);
    void AnswerRead();
    void AnswerChannel(std::uint32_t channel, const protocol::SettingsSections& store);
    /// Sends a reply now, or after the reply delay; faults may lose it.
    void Send(std::uint32_t channel, CanFrameRecord frame);
    /// Queues a reply due at `dueMs` (plus the reply delay); called with mutex_ held.
    void Schedule(std::uint64_t dueMs, std::uint32_t channel, const CanFrameRecord& frame);
    /// Puts a frame on the bus, enciphered.
    void Emit(std::uint32_t channel, CanFrameRecord frame);
    /// Whether the reply about to be sent is lost (silent or reply-drop).
    bool LosesReply();
    void SendDue();
    void Log(const std::string& line) const;
    /// Takes what the state file remembers, or starts fresh.
    void RestoreState();
    /// Saves store, DTU records and image record to the state file, if any;
    /// called with mutex_ held.
    void SaveState();
    /// Saves the image record once image data has stopped for a while.
    void SaveImageWhenIdle();

    std::shared_ptr<kelvix::VirtualCanBus> bus_;
    DeviceConfig config_;
    sys::Clock& clock_;
    EventLog log_;
    protocol::Cpc1crypt cipher_;
    Bootloader bootloader_;
    FaultDice dice_;                                ///< rolled on the device thread only
    std::unique_ptr<kelvix::VirtualCanPort> port_;  ///< hears both channels in bus order

    mutable std::mutex mutex_;
    protocol::SettingsSections store_{};
    protocol::SettingsSections staged_{};
    WriteInProgress write_;
    std::uint64_t writesApplied_ = 0;
    std::vector<CanFrameRecord> dtuFrames_;
    std::optional<protocol::DtuFrameReader> dtuReader_;  ///< while a DTU write is arriving
    protocol::DtuBasicPara dtuBasic_{};
    protocol::DtuAdvPara dtuAdvanced_{};
    std::string debugText_;
    std::string debugLine_;  ///< received debug text after the last line end
    std::array<std::uint8_t, 6> lastTime_{};
    std::vector<PendingReply> pending_;
    std::string stateWarning_;
    // Touched by the thread that handles frames only (and the destructor after it ended).
    bool imageDirty_ = false;
    bool restartAsked_ = false;  ///< a debug line asked for a restart
    std::uint64_t lastUpgradeFrameMs_ = 0;

    /// Guards storage_, behaviour_ and behaviourOut_; taken after mutex_, never before.
    mutable std::mutex behaviourMutex_;
    std::unique_ptr<RecordStorage> storage_;
    std::unique_ptr<DeviceBehaviour> behaviour_;
    std::vector<protocol::TimedFrame> behaviourOut_;

    std::atomic<std::uint64_t> framesReceived_{0};
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace quillon::sim
