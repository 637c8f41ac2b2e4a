#include "app/DeviceLink.hpp"

namespace quillon::app {

DeviceLink::DeviceLink(sys::Sleeper& sleeper, const protocol::Cpc1crypt& cipher)
    : sleeper_(sleeper), cipher_(cipher) {}

DeviceLink::~DeviceLink() {
    if (IsRunning()) {
        StopReceiving();
        Close();
    }
}

bool DeviceLink::Open(std::uint32_t index) {
    if (VCI_OpenDevice(DEVICE_TYPE_CODE, index, 0) != 1) {
        return false;
    }
    deviceIndex_ = index;
    adapterOpen_ = true;
    VCI_StartCAN(DEVICE_TYPE_CODE, index, 0);
    return true;
}

void DeviceLink::OpenForUpgrade() {
    deviceIndex_ = 0;
    adapterOpen_ = true;
    VCI_OpenDevice(DEVICE_TYPE_CODE, 0, 0);
    VCI_StartCAN(DEVICE_TYPE_CODE, 0, 0);
}

void DeviceLink::StartReceiving(FrameHandler handler, PassHandler passEnded) {
    if (thread_.joinable()) {
        thread_.join();
    }
    handler_ = std::move(handler);
    passEnded_ = std::move(passEnded);
    running_ = true;
    threadEnded_ = false;
    thread_ = std::thread([this] {
        ReceiveThread();
        threadEnded_ = true;
    });
}

void DeviceLink::StopReceiving(const std::function<void()>& whileWaiting) {
    running_ = false;
    // The join, not a pause, is what tells the thread has ended; the close
    // makes it end now rather than after its receive waits run out.
    Close();
    while (whileWaiting && !threadEnded_) {
        whileWaiting();
    }
    if (thread_.joinable()) {
        thread_.join();
    }
}

void DeviceLink::Close() {
    if (adapterOpen_) {
        adapterOpen_ = false;
        VCI_CloseDevice(DEVICE_TYPE_CODE, deviceIndex_);
    }
}

void DeviceLink::ReceiveThread() {
    CanFrameRecord buffer[RECEIVE_CAPACITY];
    for (;;) {
        sleeper_.SleepMs(1);
        if (!running_) {
            return;
        }
        std::size_t framesReceived = 0;
        for (std::uint32_t channel = 0; channel < 2; ++channel) {
            const std::int32_t count = VCI_Receive(DEVICE_TYPE_CODE, deviceIndex_, channel, buffer,
                                                   RECEIVE_CAPACITY, RECEIVE_WAIT_MS);
            if (count <= 0) {
                CanErrorRecord error{};
                VCI_ReadErrInfo(DEVICE_TYPE_CODE, deviceIndex_, channel, &error);
                continue;
            }
            const auto received = std::min<std::int32_t>(count, RECEIVE_CAPACITY);
            for (std::int32_t i = 0; i < received; ++i) {
                handler_(channel, buffer[i]);
            }
            framesReceived += static_cast<std::size_t>(received);
        }
        if (passEnded_) {
            passEnded_(framesReceived);
        }
    }
}

void DeviceLink::SetReference(std::uint32_t refType) {
    VCI_SetReference(DEVICE_TYPE_CODE, deviceIndex_, canIndex_, refType, &transmitReference_);
}

bool DeviceLink::Send(std::span<CanFrameRecord> frames) {
    const auto count = static_cast<std::uint32_t>(frames.size());
    return VCI_Transmit(DEVICE_TYPE_CODE, deviceIndex_, canIndex_, frames.data(), count) == count;
}

bool DeviceLink::SendEnciphered(std::span<CanFrameRecord> frames) {
    for (auto& frame : frames) {
        cipher_.EncipherPayload(frame.Data);
    }
    return Send(frames);
}

void DeviceLink::PauseMs(std::uint32_t durationMs) {
    sleeper_.SleepMs(durationMs);
}

}  // namespace quillon::app
