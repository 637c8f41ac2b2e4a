#include "driver/backend/AdapterFirmware.hpp"

#include "platform/byteorder/ByteOrder.hpp"

namespace brindle {

namespace {

constexpr std::int32_t RECEIVE_POLL_MS = 20;
constexpr std::size_t RECEIVE_BATCH = 64;
/// Frames handed to the controller in one call at most.
constexpr std::size_t TRANSMIT_BATCH = 64;
/// How soon a frame the controller refused is offered again.
constexpr auto TRANSMIT_RETRY = std::chrono::milliseconds(10);

}  // namespace

AdapterFirmware::AdapterFirmware(std::unique_ptr<kelvix::Adapter> controller, Options options)
    : controller_(std::move(controller)), options_(options) {}

AdapterFirmware::~AdapterFirmware() {
    Stop();
}

std::string AdapterFirmware::Start(std::weak_ptr<kmdf::SimUsbDevice> usb) {
    usb_ = std::move(usb);
    std::string error = controller_->Open();
    if (!error.empty()) {
        return "CAN controller: " + error;
    }
    started_ = std::chrono::steady_clock::now();
    running_ = true;
    for (std::uint32_t channel = 0; channel < kelvix::CHANNEL_COUNT; ++channel) {
        receivers_.emplace_back([this, channel] { ReceiveLoop(channel); });
    }
    transmitter_ = std::thread([this] { TransmitLoop(); });
    return {};
}

void AdapterFirmware::Stop() {
    if (!running_.exchange(false)) {
        return;
    }
    {
        std::lock_guard lock(transmitMutex_);
        transmitChanged_.notify_all();
    }
    transmitter_.join();
    for (std::thread& receiver : receivers_) {
        receiver.join();
    }
    receivers_.clear();
    controller_->Close();
}

std::uint32_t AdapterFirmware::TicksSinceStart() const {
    const auto elapsed = std::chrono::steady_clock::now() - started_;
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count() / 100);
}

void AdapterFirmware::Notify() {
    if (auto usb = usb_.lock()) {
        usb->NotifyDataReady();
    }
}

void AdapterFirmware::ReceiveLoop(std::uint32_t channel) {
    std::array<CanFrameRecord, RECEIVE_BATCH> frames{};
    while (running_.load()) {
        const std::int32_t count = controller_->Receive(channel, frames, RECEIVE_POLL_MS);
        if (count <= 0) {
            continue;
        }
        {
            std::lock_guard lock(mutex_);
            for (std::int32_t i = 0; i < count; ++i) {
                frames[i].TimeStamp = TicksSinceStart();
                received_.push_back(
                    usb::EncodeFrame(static_cast<std::uint8_t>(channel), frames[i]));
                if (received_.size() > RECEIVE_QUEUE_LIMIT) {
                    received_.pop_front();
                    ++framesDropped_;
                }
            }
        }
        Notify();
    }
}

std::optional<std::size_t> AdapterFirmware::ReadIn(std::uint8_t endpoint,
                                                   std::span<std::uint8_t> buffer) {
    std::lock_guard lock(mutex_);
    if (endpoint == usb::ENDPOINT_RECEIVE) {
        if (received_.empty()) {
            return std::nullopt;
        }
        std::size_t written = 0;
        while (!received_.empty() && written + usb::FRAME_RECORD_SIZE <= buffer.size()) {
            std::copy(received_.front().begin(), received_.front().end(), buffer.begin() + written);
            received_.pop_front();
            written += usb::FRAME_RECORD_SIZE;
        }
        return written;
    }
    if (endpoint == usb::ENDPOINT_RESPONSE) {
        if (responses_.empty()) {
            return std::nullopt;
        }
        const std::size_t size = std::min(buffer.size(), usb::RESPONSE_RECORD_SIZE);
        std::copy(responses_.front().begin(), responses_.front().begin() + size, buffer.begin());
        responses_.pop_front();
        return size;
    }
    return 0;
}

std::optional<std::size_t> AdapterFirmware::WriteOut(std::uint8_t endpoint,
                                                     std::span<const std::uint8_t> data) {
    if (endpoint == usb::ENDPOINT_TRANSMIT) {
        return QueueRecords(data);
    }
    if (endpoint == usb::ENDPOINT_COMMAND) {
        const auto response = usb::EncodeResponse(Execute(data));
        {
            std::lock_guard lock(mutex_);
            responses_.push_back(response);
        }
        Notify();
        return data.size();
    }
    return 0;
}

std::optional<std::size_t> AdapterFirmware::QueueRecords(std::span<const std::uint8_t> data) {
    std::lock_guard lock(transmitMutex_);
    if (transmitQueue_.size() >= options_.transmitQueueFrames) {
        hostWaiting_ = true;
        return std::nullopt;
    }
    std::size_t accepted = 0;
    while (accepted + usb::FRAME_RECORD_SIZE <= data.size() &&
           transmitQueue_.size() < options_.transmitQueueFrames) {
        const auto decoded = usb::DecodeFrame(data.subspan(accepted, usb::FRAME_RECORD_SIZE));
        if (!decoded || decoded->channel >= kelvix::CHANNEL_COUNT) {
            // The records before it are queued; this one and the rest are not.
            SetError(data[accepted], decoded ? KELVIX_ERR_BAD_CHANNEL : KELVIX_ERR_BACKEND);
            break;
        }
        transmitQueue_.push_back(*decoded);
        accepted += usb::FRAME_RECORD_SIZE;
    }
    if (accepted > 0) {
        transmitChanged_.notify_all();
    }
    return accepted;
}

void AdapterFirmware::SetError(std::uint8_t channel, std::uint32_t code) {
    std::lock_guard lock(mutex_);
    errors_[channel < kelvix::CHANNEL_COUNT ? channel : 0].ErrCode = code;
}

void AdapterFirmware::TransmitLoop() {
    std::unique_lock lock(transmitMutex_);
    while (running_.load()) {
        if (transmitQueue_.empty() || options_.transmitPaused) {
            transmitChanged_.wait(lock);
            continue;
        }
        TransmitHead(lock);
    }
}

void AdapterFirmware::TransmitHead(std::unique_lock<std::mutex>& lock) {
    const std::uint8_t channel = transmitQueue_.front().channel;
    std::vector<CanFrameRecord> frames;
    for (const usb::ChannelFrame& queued : transmitQueue_) {
        if (queued.channel != channel || frames.size() == TRANSMIT_BATCH) {
            break;
        }
        frames.push_back(queued.frame);
    }
    // The queue only grows behind the head while the lock is let go.
    lock.unlock();
    const std::uint32_t sent = controller_->Transmit(channel, frames);
    lock.lock();
    transmitQueue_.erase(transmitQueue_.begin(), transmitQueue_.begin() + sent);
    framesTransmitted_ += sent;
    const bool wakeHost = hostWaiting_ && sent > 0;
    hostWaiting_ = hostWaiting_ && !wakeHost;
    transmitChanged_.notify_all();
    if (sent < frames.size()) {
        SetError(channel, KELVIX_ERR_BACKEND);
        transmitChanged_.wait_for(lock, TRANSMIT_RETRY);
    }
    if (wakeHost) {
        // A transmit transfer waits for the room just made.
        lock.unlock();
        Notify();
        lock.lock();
    }
}

std::size_t AdapterFirmware::TransmitQueued() {
    std::lock_guard lock(transmitMutex_);
    return transmitQueue_.size();
}

bool AdapterFirmware::WaitUntilTransmitted(std::chrono::milliseconds limit) {
    std::unique_lock lock(transmitMutex_);
    return transmitChanged_.wait_for(lock, limit, [&] { return transmitQueue_.empty(); });
}

usb::Response AdapterFirmware::Execute(std::span<const std::uint8_t> command) {
    usb::Response response;
    if (command.size() < usb::COMMAND_HEADER_SIZE) {
        response.status = usb::ResponseStatus::MalformedCommand;
        return response;
    }
    response.opcode = command[0];
    response.channel = command[1];
    const auto payload = command.subspan(usb::COMMAND_HEADER_SIZE);
    if (command[1] >= kelvix::CHANNEL_COUNT) {
        response.status = usb::ResponseStatus::BadChannel;
        return response;
    }
    const std::uint32_t channel = command[1];
    bool done = false;
    switch (static_cast<usb::Opcode>(command[0])) {
        case usb::Opcode::InitChannel:
            if (payload.size() != 16) {
                response.status = usb::ResponseStatus::MalformedCommand;
                return response;
            }
            done = controller_->InitChannel(channel, usb::DecodeInitPayload(payload));
            break;
        case usb::Opcode::StartChannel:
            done = controller_->StartChannel(channel);
            break;
        case usb::Opcode::ReadError: {
            std::lock_guard lock(mutex_);
            response.error = errors_[channel];
            errors_[channel] = CanErrorRecord{};
            done = true;
            break;
        }
        case usb::Opcode::SetReference: {
            if (payload.size() != 8) {
                response.status = usb::ResponseStatus::MalformedCommand;
                return response;
            }
            std::uint32_t value = quillon::byteorder::GetU32LE(payload, 4);
            done = controller_->SetReference(channel, quillon::byteorder::GetU32LE(payload, 0),
                                             &value);
            break;
        }
        default:
            response.status = usb::ResponseStatus::UnknownCommand;
            return response;
    }
    if (!done) {
        response.status = usb::ResponseStatus::Refused;
    }
    return response;
}

}  // namespace brindle
