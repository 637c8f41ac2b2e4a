#include "driver/backend/BrindleAdapter.hpp"

#include <algorithm>

#include "driver/BrindleIoctl.hpp"
#include "driver/backend/AdapterFirmware.hpp"
#include "driver/backend/BrindleOptions.hpp"
#include "platform/byteorder/ByteOrder.hpp"
#include "platform/kelvix/SimAdapter.hpp"

namespace brindle {

using kmdf::IoResult;
using kmdf::NT_SUCCESS;
using kmdf::NtStatusText;

namespace {

constexpr const char* PIPE_NAMES[4] = {"PIPE00", "PIPE01", "PIPE02", "PIPE03"};
constexpr std::size_t RECEIVE_READ_RECORDS = 512;
constexpr int MAX_CONSECUTIVE_READ_FAILURES = 8;

}  // namespace

BrindleAdapter::BrindleAdapter(std::string spec) : spec_(std::move(spec)) {}

BrindleAdapter::~BrindleAdapter() {
    Close();
}

std::string BrindleAdapter::Open() {
    std::string error = PlugAdapter();
    if (error.empty()) {
        error = OpenPipes();
    }
    if (error.empty()) {
        error = CheckPipeCount();
    }
    if (!error.empty()) {
        Close();
        return "brindle: " + error;
    }
    closing_ = false;
    pump_ = std::thread([this, pipe = pipes_[usb::PIPE_RECEIVE]] { ReceivePump(pipe); });
    open_ = true;
    return {};
}

std::string BrindleAdapter::PlugAdapter() {
    std::string error;
    const std::optional<BrindleOptions> options = ParseBrindleOptions(spec_, error);
    if (!options) {
        return error;
    }
    queueWait_ = std::chrono::milliseconds(options->queueWaitMs);
    std::unique_ptr<kelvix::Adapter> controller =
        kelvix::SimAdapter::FromOptions(options->busOptions, error);
    if (!controller) {
        return "the bus options \"" + options->busOptions + "\" cannot be used: " + error;
    }
    firmware_ = std::make_shared<AdapterFirmware>(
        std::move(controller),
        AdapterFirmware::Options{options->transmitQueueFrames, options->transmitPaused});
    kmdf::SimUsbDeviceConfig config = kmdf::AdapterDeviceConfig();
    // What the adapter can take at once completes inside the caller's write.
    config.processOnSubmit = true;
    auto usbDevice = std::make_shared<kmdf::SimUsbDevice>(config, firmware_);
    error = firmware_->Start(usbDevice);
    if (!error.empty()) {
        return "adapter firmware: " + error;
    }
    machine_ = BrindleMachine::Acquire();
    const kmdf::NTSTATUS status = machine_->PlugIn(usbDevice, &device_, &path_);
    if (!NT_SUCCESS(status)) {
        return "the adapter's USB device did not start: " + NtStatusText(status);
    }
    return {};
}

std::string BrindleAdapter::OpenPipes() {
    for (std::size_t i = 0; i < pipes_.size(); ++i) {
        const kmdf::OpenResult opened =
            machine_->Api().CreateFile(LIBRARY_PROCESS_ID, path_ + "\\" + PIPE_NAMES[i]);
        if (!NT_SUCCESS(opened.status)) {
            return std::string("opening ") + PIPE_NAMES[i] +
                   " failed: " + NtStatusText(opened.status);
        }
        pipes_[i] = opened.handle;
    }
    return {};
}

std::string BrindleAdapter::CheckPipeCount() {
    kmdf::HandleApi& api = machine_->Api();
    const kmdf::OpenResult device = api.CreateFile(LIBRARY_PROCESS_ID, path_);
    if (!NT_SUCCESS(device.status)) {
        return "opening the device failed: " + NtStatusText(device.status);
    }
    std::vector<std::uint8_t> count(1);
    const IoResult result = api.DeviceIoControl(LIBRARY_PROCESS_ID, device.handle,
                                                IOCTL_ADAPTER_GET_PIPE_COUNT, {}, count);
    api.CloseHandle(LIBRARY_PROCESS_ID, device.handle);
    if (!NT_SUCCESS(result.status)) {
        return "asking for the pipe count failed: " + NtStatusText(result.status);
    }
    if (count[0] != pipes_.size()) {
        return "the adapter has " + std::to_string(count[0]) + " pipes, 4 expected";
    }
    return {};
}

void BrindleAdapter::Close() {
    open_ = false;
    {
        // Set under the receivers' lock, so a receive about to wait cannot miss it.
        std::lock_guard lock(receivedMutex_);
        closing_ = true;
    }
    arrived_.notify_all();
    if (machine_) {
        // Closing the receive pipe aborts the pump's pending read.
        for (kmdf::UserHandle& pipe : pipes_) {
            if (pipe != kmdf::INVALID_USER_HANDLE) {
                machine_->Api().CloseHandle(LIBRARY_PROCESS_ID, pipe);
                pipe = kmdf::INVALID_USER_HANDLE;
            }
        }
    }
    if (pump_.joinable()) {
        pump_.join();
    }
    if (machine_ && device_ != nullptr) {
        machine_->Unplug(device_);
        device_ = nullptr;
    }
    if (firmware_) {
        firmware_->Stop();
        firmware_.reset();
    }
    machine_.reset();
    arrived_.notify_all();
}

void BrindleAdapter::ReceivePump(kmdf::UserHandle receivePipe) {
    std::vector<std::uint8_t> buffer(RECEIVE_READ_RECORDS * usb::FRAME_RECORD_SIZE);
    int failures = 0;
    while (!closing_.load()) {
        const IoResult result = machine_->Api().ReadFile(LIBRARY_PROCESS_ID, receivePipe, buffer);
        if (!NT_SUCCESS(result.status)) {
            if (closing_.load() || ++failures > MAX_CONSECUTIVE_READ_FAILURES) {
                break;
            }
            std::vector<std::uint8_t> none;
            machine_->Api().DeviceIoControl(LIBRARY_PROCESS_ID, receivePipe,
                                            IOCTL_ADAPTER_RESET_PIPE, {}, none);
            continue;
        }
        failures = 0;
        std::lock_guard lock(receivedMutex_);
        for (std::size_t offset = 0; offset + usb::FRAME_RECORD_SIZE <= result.information;
             offset += usb::FRAME_RECORD_SIZE) {
            const auto decoded =
                usb::DecodeFrame(std::span(buffer).subspan(offset, usb::FRAME_RECORD_SIZE));
            if (!decoded || decoded->channel >= kelvix::CHANNEL_COUNT) {
                continue;
            }
            auto& queue = received_[decoded->channel];
            queue.push_back(decoded->frame);
            queue.back().TimeFlag = 1;
            if (queue.size() > RECEIVE_QUEUE_LIMIT) {
                queue.pop_front();
            }
        }
        arrived_.notify_all();
    }
    std::lock_guard lock(receivedMutex_);
    pumpFailed_ = !closing_.load();
    arrived_.notify_all();
}

std::optional<usb::Response> BrindleAdapter::Command(usb::Opcode opcode, std::uint32_t channel,
                                                     std::vector<std::uint8_t> payload) {
    if (!open_ || channel >= kelvix::CHANNEL_COUNT) {
        return std::nullopt;
    }
    std::lock_guard lock(commandMutex_);
    kmdf::HandleApi& api = machine_->Api();
    const auto command = usb::EncodeCommand(
        usb::Command{opcode, static_cast<std::uint8_t>(channel), std::move(payload)});
    const IoResult sent = api.WriteFile(LIBRARY_PROCESS_ID, pipes_[usb::PIPE_COMMAND], command);
    if (!NT_SUCCESS(sent.status) || sent.information != command.size()) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> answer(usb::RESPONSE_RECORD_SIZE);
    const IoResult read = api.ReadFile(LIBRARY_PROCESS_ID, pipes_[usb::PIPE_RESPONSE], answer);
    if (!NT_SUCCESS(read.status)) {
        return std::nullopt;
    }
    answer.resize(read.information);
    auto response = usb::DecodeResponse(answer);
    if (!response || response->opcode != static_cast<std::uint8_t>(opcode)) {
        return std::nullopt;
    }
    return response;
}

bool BrindleAdapter::InitChannel(std::uint32_t channel, const CanInitRecord& init) {
    const auto response = Command(usb::Opcode::InitChannel, channel, usb::EncodeInitPayload(init));
    return response && response->status == usb::ResponseStatus::Done;
}

bool BrindleAdapter::StartChannel(std::uint32_t channel) {
    const auto response = Command(usb::Opcode::StartChannel, channel);
    return response && response->status == usb::ResponseStatus::Done;
}

CanErrorRecord BrindleAdapter::TakeError(std::uint32_t channel) {
    const auto response = Command(usb::Opcode::ReadError, channel);
    if (!response) {
        CanErrorRecord failed{};
        failed.ErrCode = KELVIX_ERR_BACKEND;
        return failed;
    }
    return response->error;
}

bool BrindleAdapter::SetReference(std::uint32_t channel, std::uint32_t refType, void* data) {
    std::vector<std::uint8_t> payload(8);
    quillon::byteorder::PutU32LE(payload, 0, refType);
    quillon::byteorder::PutU32LE(payload, 4,
                                 data != nullptr ? *static_cast<const std::uint32_t*>(data) : 0);
    const auto response = Command(usb::Opcode::SetReference, channel, std::move(payload));
    return response && response->status == usb::ResponseStatus::Done;
}

std::uint32_t BrindleAdapter::TransmitBatch(std::uint32_t channel,
                                            std::span<const CanFrameRecord> frames,
                                            std::chrono::steady_clock::time_point deadline) {
    std::vector<std::uint8_t> records;
    records.reserve(frames.size() * usb::FRAME_RECORD_SIZE);
    for (const CanFrameRecord& frame : frames) {
        CanFrameRecord outgoing = frame;
        outgoing.TimeStamp = 0;
        const auto bytes = usb::EncodeFrame(static_cast<std::uint8_t>(channel), outgoing);
        records.insert(records.end(), bytes.begin(), bytes.end());
    }
    kmdf::HandleApi& api = machine_->Api();
    const kmdf::UserHandle pipe = pipes_[usb::PIPE_TRANSMIT];
    const auto write = api.BeginWrite(LIBRARY_PROCESS_ID, pipe, records);
    if (!write->WaitUntil(deadline)) {
        // The queue stayed full: take back the write it has not taken.
        api.CancelIo(LIBRARY_PROCESS_ID, pipe);
    }
    const IoResult result = write->Wait();
    if (!NT_SUCCESS(result.status)) {
        return 0;
    }
    return static_cast<std::uint32_t>(result.information / usb::FRAME_RECORD_SIZE);
}

std::uint32_t BrindleAdapter::Transmit(std::uint32_t channel,
                                       std::span<const CanFrameRecord> frames) {
    if (!open_ || channel >= kelvix::CHANNEL_COUNT) {
        return 0;
    }
    std::lock_guard lock(transmitMutex_);
    std::uint32_t accepted = 0;
    // Batches stay within one bulk stage, so a short write never leaves a gap.
    constexpr std::size_t BATCH = 40960 / usb::FRAME_RECORD_SIZE;
    while (accepted < frames.size()) {
        const auto batch = frames.subspan(accepted, std::min(BATCH, frames.size() - accepted));
        // The bound is on waiting without progress, not on the whole call.
        const std::uint32_t sent =
            TransmitBatch(channel, batch, std::chrono::steady_clock::now() + queueWait_);
        if (sent == 0) {
            break;
        }
        accepted += sent;
    }
    return accepted;
}

std::int32_t BrindleAdapter::Receive(std::uint32_t channel, std::span<CanFrameRecord> frames,
                                     std::int32_t waitMs) {
    if (!open_ || channel >= kelvix::CHANNEL_COUNT) {
        return -1;
    }
    std::unique_lock lock(receivedMutex_);
    auto& queue = received_[channel];
    arrived_.wait_for(lock, std::chrono::milliseconds(std::max(waitMs, 0)),
                      [&] { return !queue.empty() || pumpFailed_ || closing_.load(); });
    if (queue.empty() && pumpFailed_) {
        return -1;
    }
    const std::size_t count = std::min(frames.size(), queue.size());
    std::copy_n(queue.begin(), count, frames.begin());
    queue.erase(queue.begin(), queue.begin() + static_cast<long>(count));
    return static_cast<std::int32_t>(count);
}

}  // namespace brindle
