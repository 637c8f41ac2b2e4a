#include "sim/SimulatedDevice.hpp"

#include <algorithm>
#include <chrono>

#include "canlog/FrameRecord.hpp"
#include "platform/byteorder/ByteOrder.hpp"
#include "platform/system/Utf8Path.hpp"
#include "protocol/DebugFrames.hpp"
#include "protocol/DtuFrames.hpp"
#include "protocol/FirmwareFrames.hpp"
#include "protocol/FrameCatalogue.hpp"
#include "protocol/IdentityFrames.hpp"
#include "protocol/ParameterFrames.hpp"
#include "protocol/SettingsFile.hpp"

namespace quillon::sim {
namespace {

using namespace quillon::protocol;

/// Longest unfinished debug line kept; bytes past it are not answered.
constexpr std::size_t DEBUG_LINE_MAX = 1000;
constexpr std::size_t DEBUG_ECHO_BYTES = 6;
constexpr std::chrono::milliseconds POLL_WAIT{5};
/// Frames taken from the port at once.
constexpr std::size_t BATCH_FRAMES = 64;
/// The debug line on which the device starts again with its stored parameters.
constexpr std::string_view RESTART_LINE = "restart";
/// Quiet time after the last upgrade frame before the image record is saved.
constexpr std::uint64_t IMAGE_SAVE_IDLE_MS = 300;

bool IsPlainUpgradeFrame(const CanFrameRecord& frame) {
    return SentPlain(frame) && !IsReadRequest(frame);
}

// Printable ASCII as it is, anything else as '?', so a log line stays one line.
std::string LogText(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        text += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '?';
    }
    return text;
}

// "DTU record received (62 frames): server dtu.example:8088, APN CMNET"; a
// sequence that did not arrive whole gives the first part alone.
std::string DtuSummary(const protocol::DtuFrameReader& reader) {
    std::string line = "DTU record received (" + std::to_string(reader.FramesAdded()) + " frames)";
    if (!reader.Complete()) {
        return line;
    }
    const auto& basic = reader.Basic();
    const auto& advanced = reader.Advanced();
    return line + ": server " + LogText(std::span(basic.serverAddr).first(basic.serverAddrLen)) +
           ":" + std::to_string(basic.serverPort) + ", APN " +
           LogText(std::span(advanced.apn).first(advanced.apnLen));
}

// The answer to one debug line, one message per level 0..3: the line's head
// as plain text, "ok" as information, the error count (always none) as an
// error, and the line's length in bytes (16 bits, little-endian) as data.
std::array<std::string, 4> DebugAnswer(std::string_view line) {
    std::array<std::uint8_t, 2> length{};
    byteorder::PutU16LE(length, 0,
                        static_cast<std::uint16_t>(std::min<std::size_t>(line.size(), 0xFFFF)));
    return {std::string(line.substr(0, DEBUG_ECHO_BYTES)) + "\r\n", "ok\r\n", "err 0\r\n",
            std::string(length.begin(), length.end())};
}

}  // namespace

SimulatedDevice::SimulatedDevice(std::shared_ptr<kelvix::VirtualCanBus> bus, DeviceConfig config,
                                 sys::Clock& clock, EventLog log)
    : bus_(std::move(bus)),
      config_(config),
      clock_(clock),
      log_(std::move(log)),
      bootloader_(clock, config.eraseMs),
      dice_(config.seed) {
    RestoreState();
    ApplyBaudTable(store_.can1);
    ApplyBaudTable(store_.can2);
    port_ = bus_->Attach(kelvix::VirtualCanPort::ALL_CHANNELS);
    if (!config_.storageDir.empty()) {
        storage_ = std::make_unique<RecordStorage>(
            sys::PathFromUtf8(config_.storageDir),
            static_cast<std::uint64_t>(config_.storageMb) * 1024 * 1024);
    }
    Restart();
    if (config_.ownThread) {
        thread_ = std::thread([this] { Run(); });
    }
}

SimulatedDevice::~SimulatedDevice() {
    // The port closes only after the thread has taken what was delivered.
    stopping_ = true;
    if (thread_.joinable()) {
        thread_.join();
    } else {
        HandleDelivered();
    }
    port_->Close();
    if (imageDirty_) {
        std::lock_guard lock(mutex_);
        SaveState();
    }
}

void SimulatedDevice::RestoreState() {
    std::optional<DeviceState> state;
    if (!config_.statePath.empty()) {
        StateLoad load =
            LoadDeviceState(sys::PathFromUtf8(config_.statePath), {config_.type, config_.serial});
        state = std::move(load.state);
        stateWarning_ = std::move(load.warning);
    }
    if (!stateWarning_.empty()) {
        Log("warning: " + stateWarning_);
    }
    if (!state) {
        store_ = FactorySettings();
        return;
    }
    store_ = state->store;
    dtuBasic_ = state->dtuBasic;
    dtuAdvanced_ = state->dtuAdvanced;
    if (state->image.present) {
        bootloader_.Remember(state->image);
    }
}

std::size_t SimulatedDevice::TakeBatch(std::chrono::milliseconds wait) {
    kelvix::TaggedFrame buffer[BATCH_FRAMES];
    const std::size_t count = port_->ReceiveTagged(buffer, wait);
    for (std::size_t i = 0; i < count; ++i) {
        OnFrame(buffer[i].channel, buffer[i].frame);
    }
    SendBehaviourFrames();
    SendDue();
    SaveImageWhenIdle();
    return count;
}

void SimulatedDevice::Run() {
    for (;;) {
        // Frames delivered before the stop were sent while the device was on:
        // it takes them first, as a device that stays powered would, so a
        // command that ends as its last frame leaves still reaches it.
        const bool stopping = stopping_;
        const std::size_t count = TakeBatch(stopping ? std::chrono::milliseconds(0) : POLL_WAIT);
        if (stopping && count < BATCH_FRAMES) {
            return;
        }
    }
}

std::size_t SimulatedDevice::HandleDelivered() {
    std::size_t taken = 0;
    for (;;) {
        const std::size_t count = TakeBatch(std::chrono::milliseconds(0));
        taken += count;
        if (count < BATCH_FRAMES) {
            return taken;
        }
    }
}

void SimulatedDevice::SaveImageWhenIdle() {
    if (!imageDirty_ || clock_.MonotonicMs() - lastUpgradeFrameMs_ < IMAGE_SAVE_IDLE_MS) {
        return;
    }
    imageDirty_ = false;
    std::lock_guard lock(mutex_);
    SaveState();
}

void SimulatedDevice::OnFrame(std::uint32_t channel, const CanFrameRecord& received) {
    if (dice_.Loses(config_.dropPercent)) {
        return;  // never heard
    }
    if (IsConfigurationFrame(received)) {
        Dispatch(channel, received);
        if (restartAsked_) {
            restartAsked_ = false;
            Restart();
        }
    } else {
        Behave(channel, received);
    }
    ++framesReceived_;
}

void SimulatedDevice::Restart() {
    const SettingsSections parameters = Parameters();
    std::lock_guard lock(behaviourMutex_);
    behaviour_ =
        std::make_unique<DeviceBehaviour>(config_.type, parameters, storage_.get(), NowUs());
}

// Called with mutex_ held: behaviourMutex_ is always taken after it.
void SimulatedDevice::ClearStorage() {
    std::lock_guard lock(behaviourMutex_);
    if (storage_) {
        storage_->Clear();
    }
}

std::optional<behaviour::ModelReport> SimulatedDevice::BehaviourReport() const {
    std::lock_guard lock(behaviourMutex_);
    return behaviour_->Report();
}

std::int64_t SimulatedDevice::NowUs() const {
    return static_cast<std::int64_t>(clock_.UnixTimeUs());
}

void SimulatedDevice::Behave(std::uint32_t channel, const CanFrameRecord& received) {
    if (channel > 1) {
        return;
    }
    std::lock_guard lock(behaviourMutex_);
    behaviour_->Receive(canlog::ToTimedFrame(received, static_cast<int>(channel), NowUs()),
                        behaviourOut_);
}

// Sends, plain, what the behaviour forwards or replays by now.
void SimulatedDevice::SendBehaviourFrames() {
    std::vector<protocol::TimedFrame> out;
    {
        std::lock_guard lock(behaviourMutex_);
        behaviour_->Due(NowUs(), behaviourOut_);
        out.swap(behaviourOut_);
    }
    for (const protocol::TimedFrame& frame : out) {
        port_->SendOn(static_cast<std::uint32_t>(frame.channel), canlog::ToFrameRecord(frame));
    }
}

void SimulatedDevice::Dispatch(std::uint32_t channel, const CanFrameRecord& received) {
    if (IsPlainUpgradeFrame(received)) {
        OnUpgradeFrame(received);
        return;
    }
    CanFrameRecord frame = received;
    if (!protocol::SentPlain(frame)) {
        cipher_.DecipherPayload(frame.Data);
    }
    if (frame.ExternFlag != 0) {
        OnParameterFrame(channel, frame);
    } else {
        OnStandardFrame(channel, frame);
    }
}

void SimulatedDevice::OnUpgradeFrame(const CanFrameRecord& frame) {
    const bool wasProgramming = bootloader_.Programming();
    bootloader_.OnFrame(frame);
    imageDirty_ = true;
    lastUpgradeFrameMs_ = clock_.MonotonicMs();
    if (IsEraseCommand(frame)) {
        Log("erase command: erasing flash for " + std::to_string(config_.eraseMs) + " ms");
    } else if (!wasProgramming && bootloader_.Programming()) {
        Log("program command: receiving the image");
    }
}

void SimulatedDevice::OnParameterFrame(std::uint32_t channel, const CanFrameRecord& frame) {
    if (channel > 1) {
        return;
    }
    std::lock_guard lock(mutex_);
    // The other channel's opening may still be on its way.
    JoinWrite();
    write_.carriesParameters = true;
    const bool first = channel == 0;
    DecodeParameterFrame(
        frame, {first ? staged_.can1 : staged_.can2, first ? staged_.filters1 : staged_.filters2,
                staged_.bridge, staged_.replay});
    CountFilterFrame(channel, frame, first ? staged_.filters1 : staged_.filters2);
    ApplyWriteIfComplete();
}

void SimulatedDevice::JoinWrite() {
    if (!write_.active) {
        staged_ = store_;
        write_ = WriteInProgress{};
        write_.active = true;
    }
}

// `decoded` already holds what `frame` carried.
void SimulatedDevice::CountFilterFrame(std::uint32_t channel, const CanFrameRecord& frame,
                                       const HardFilterPara& decoded) {
    const std::uint32_t lastFilterId = ID_HARD_FILTER + 2 * MAX_HARD_FILTERS;
    if (frame.ID == ID_HARD_FILTER) {
        write_.filtersAnnounced[channel] = true;
        write_.filtersExpected[channel] =
            2 * std::min<std::size_t>(decoded.filterCount, MAX_HARD_FILTERS);
        write_.filtersSeen[channel] = 0;
    } else if (frame.ID > ID_HARD_FILTER && frame.ID <= lastFilterId) {
        ++write_.filtersSeen[channel];
    }
}

void SimulatedDevice::ApplyWriteIfComplete() {
    const auto filtersDone = [this](std::size_t c) {
        return write_.filtersAnnounced[c] && write_.filtersSeen[c] >= write_.filtersExpected[c];
    };
    const bool blocksDone = !write_.carriesParameters || (filtersDone(0) && filtersDone(1));
    if (!write_.active || !write_.opened || !write_.closed || !blocksDone) {
        return;
    }
    store_ = staged_;
    write_ = WriteInProgress{};
    ++writesApplied_;
    SaveState();
    Log("parameter write applied");
}

void SimulatedDevice::OnStandardFrame(std::uint32_t channel, const CanFrameRecord& frame) {
    if (IsReadRequest(frame)) {
        Log("read request on channel " + std::to_string(channel));
        AnswerRead();
        return;
    }
    std::lock_guard lock(mutex_);
    const bool staging = write_.active;
    if (IsOpeningFrame(frame)) {
        JoinWrite();
        write_.opened = true;
        ApplyWriteIfComplete();
    } else if (frame.ID == ID_SYSTEM && staging) {
        DecodeSystemFrame(frame, staged_.sys);
    } else if (frame.ID == ID_TIME && staging) {
        lastTime_ = DecodeTimeFrame(frame);
    } else if (IsApplyCommand(frame) && staging) {
        write_.closed = true;
        ApplyWriteIfComplete();
    } else if (IsStorageInitFrame(frame)) {
        Schedule(clock_.MonotonicMs() + config_.storageDelayMs, channel,
                 BuildStorageInitReply(config_.storageResult));
        ClearStorage();
        Log("storage initialisation requested");
    } else if (frame.ID >= ID_DTU_FIRST && frame.ID <= ID_DTU_LAST) {
        OnDtuFrame(frame);
    } else if (IsDebugFrame(frame) && DebugLevel(frame) == 0) {
        OnDebugText(channel, frame);
    }
}

// A DTU write is reassembled as it arrives; the closing frame stores what
// arrived whole into the device's DTU records.
void SimulatedDevice::OnDtuFrame(const CanFrameRecord& frame) {
    if (!dtuReader_) {
        dtuFrames_.clear();
        dtuReader_.emplace(dtuBasic_, dtuAdvanced_);
    }
    if (dtuFrames_.size() < protocol::DTU_FRAME_CAPACITY) {
        dtuFrames_.push_back(frame);
    }
    dtuReader_->Add(frame);
    if (frame.ID != protocol::DTU_END_FRAME_ID) {
        return;
    }
    dtuBasic_ = dtuReader_->Basic();
    dtuAdvanced_ = dtuReader_->Advanced();
    Log(DtuSummary(*dtuReader_));
    dtuReader_.reset();
    SaveState();
}

void SimulatedDevice::OnDebugText(std::uint32_t channel, const CanFrameRecord& frame) {
    const auto data = DebugBytes(frame);
    const std::string_view bytes(reinterpret_cast<const char*>(data.data()), data.size());
    debugText_.append(bytes);
    for (const char c : bytes) {
        if (c == '\n') {
            std::string_view line(debugLine_);
            if (line.ends_with('\r')) {
                line.remove_suffix(1);
            }
            AnswerDebugLine(channel, line);
            restartAsked_ = restartAsked_ || line == RESTART_LINE;
            debugLine_.clear();
        } else if (debugLine_.size() < DEBUG_LINE_MAX) {
            debugLine_ += c;
        }
    }
}

void SimulatedDevice::AnswerDebugLine(std::uint32_t channel, std::string_view line) {
    const auto messages = DebugAnswer(line);
    for (std::size_t level = 0; level < messages.size(); ++level) {
        const std::string& text = messages[level];
        const std::span bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
        Schedule(0, channel, BuildDebugFrame(static_cast<std::uint32_t>(level), bytes));
    }
}

void SimulatedDevice::AnswerRead() {
    const SettingsSections store = Parameters();
    AnswerChannel(0, store);
    AnswerChannel(1, store);
}

void SimulatedDevice::AnswerChannel(std::uint32_t channel, const SettingsSections& store) {
    // The reply has one byte for the file size: larger sizes are sent as 255.
    const SystemReply system{
        static_cast<std::uint8_t>(std::min<std::uint16_t>(store.sys.fileSizeMB, 255)),
        store.sys.cyclicOverwrite, store.sys.firstFrameTimeZero, store.sys.errorProofing};
    for (const auto& frame :
         {BuildSerialLowFrame(config_.serial), BuildSerialHighFrame(config_.serial, config_.type),
          BuildVersionsFrame({config_.hardwareVersion, config_.firmwareVersion}),
          BuildSystemReply(system)}) {
        Send(channel, frame);
    }
    const bool first = channel == 0;
    for (const auto& frame : BuildChannelBlock(first ? store.can1 : store.can2, 0xFFFF)) {
        Send(channel, frame);
    }
    for (const auto& frame : BuildHardFilterBlock(first ? store.filters1 : store.filters2)) {
        Send(channel, frame);
    }
    if (first) {
        Send(channel, BuildBridgeHeader(store.bridge));
        const std::size_t rules = std::min<std::size_t>(store.bridge.ruleCount, MAX_BRIDGE_RULES);
        for (std::size_t k = 0; k < rules; ++k) {
            for (const auto& frame : BuildBridgeRule(store.bridge.rules[k], k)) {
                Send(channel, frame);
            }
        }
        Send(channel, BuildReplayHeader(store.replay));
        const std::size_t files = std::min<std::size_t>(store.replay.ruleCount, MAX_REPLAY_RULES);
        for (std::size_t k = 0; k < files; ++k) {
            for (const auto& frame : BuildReplayRule(store.replay.rules[k], k)) {
                Send(channel, frame);
            }
        }
    }
    Send(channel, BuildCompletionFrame());
}

bool SimulatedDevice::LosesReply() {
    return config_.silent || dice_.Loses(config_.replyDropPercent);
}

void SimulatedDevice::Send(std::uint32_t channel, CanFrameRecord frame) {
    if (LosesReply()) {
        return;
    }
    if (config_.replyDelayMs == 0) {
        Emit(channel, frame);
        return;
    }
    std::lock_guard lock(mutex_);
    pending_.push_back({clock_.MonotonicMs() + config_.replyDelayMs, channel, frame});
}

void SimulatedDevice::Schedule(std::uint64_t dueMs, std::uint32_t channel,
                               const CanFrameRecord& frame) {
    if (!LosesReply()) {
        pending_.push_back({dueMs + config_.replyDelayMs, channel, frame});
    }
}

void SimulatedDevice::Emit(std::uint32_t channel, CanFrameRecord frame) {
    cipher_.EncipherPayload(frame.Data);
    port_->SendOn(channel, frame);
}

void SimulatedDevice::SendDue() {
    std::vector<PendingReply> due;
    {
        std::lock_guard lock(mutex_);
        const std::uint64_t now = clock_.MonotonicMs();
        auto split = std::stable_partition(pending_.begin(), pending_.end(),
                                           [now](const PendingReply& r) { return r.dueMs > now; });
        due.assign(split, pending_.end());
        pending_.erase(split, pending_.end());
    }
    for (const auto& reply : due) {
        Emit(reply.channel, reply.frame);
    }
}

void SimulatedDevice::SaveState() {
    if (config_.statePath.empty()) {
        return;
    }
    const DeviceState state{store_, dtuBasic_, dtuAdvanced_, bootloader_.Record()};
    const auto result = SaveDeviceState(sys::PathFromUtf8(config_.statePath), state,
                                        {config_.type, config_.serial});
    if (!result) {
        Log("cannot keep the parameter store: " + result.message);
    }
}

void SimulatedDevice::Log(const std::string& line) const {
    if (log_) {
        log_(line);
    }
}

SettingsSections SimulatedDevice::Parameters() const {
    std::lock_guard lock(mutex_);
    return store_;
}

void SimulatedDevice::SetParameters(const SettingsSections& parameters) {
    std::lock_guard lock(mutex_);
    store_ = parameters;
}

std::uint64_t SimulatedDevice::WritesApplied() const {
    std::lock_guard lock(mutex_);
    return writesApplied_;
}

std::vector<CanFrameRecord> SimulatedDevice::DtuFrames() const {
    std::lock_guard lock(mutex_);
    return dtuFrames_;
}

protocol::DtuBasicPara SimulatedDevice::DtuBasic() const {
    std::lock_guard lock(mutex_);
    return dtuBasic_;
}

protocol::DtuAdvPara SimulatedDevice::DtuAdvanced() const {
    std::lock_guard lock(mutex_);
    return dtuAdvanced_;
}

std::string SimulatedDevice::DebugText() const {
    std::lock_guard lock(mutex_);
    return debugText_;
}

std::array<std::uint8_t, 6> SimulatedDevice::LastTime() const {
    std::lock_guard lock(mutex_);
    return lastTime_;
}

}  // namespace quillon::sim
