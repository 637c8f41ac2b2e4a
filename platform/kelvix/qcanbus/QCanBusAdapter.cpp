#include "platform/kelvix/qcanbus/QCanBusAdapter.hpp"

#include <QCanBus>
#include <algorithm>
#include <thread>

#include "platform/kelvix/qcanbus/QCanBusFrameMapping.hpp"
#include "platform/kelvix/qcanbus/QtEventThread.hpp"

namespace kelvix {
namespace {

// Frames a plugin may hold unwritten before a send waits for it to drain.
constexpr qint64 WRITE_QUEUE_LIMIT = 256;
constexpr auto POLL_STEP = std::chrono::milliseconds(2);

}  // namespace

QCanBusAdapter::QCanBusAdapter(QCanBusOptions options) : options_(std::move(options)) {}

QCanBusAdapter::~QCanBusAdapter() {
    Close();
}

std::string QCanBusAdapter::Where(std::uint32_t channel) const {
    return options_.plugin + " " + options_.interfaces[channel];
}

std::string QCanBusAdapter::Open() {
    std::string problem;
    openedAt_ = std::chrono::steady_clock::now();
    for (auto& queue : queues_) {
        queue.Reopen();
    }
    QtEventThread::Instance().Call([&] {
        for (std::uint32_t channel = 0; channel < CHANNEL_COUNT && problem.empty(); ++channel) {
            if (!options_.interfaces[channel].empty()) {
                problem = CreateDevice(channel);
            }
        }
    });
    // Connecting may take the plugin a while (a TCP connection, a driver).
    const auto deadline = openedAt_ + std::chrono::milliseconds(options_.connectWaitMs);
    while (problem.empty()) {
        const bool final = std::chrono::steady_clock::now() >= deadline;
        QtEventThread::Instance().Call([&] { problem = ConnectionProblem(final); });
        if (problem == "pending") {
            problem.clear();
            QtEventThread::Instance().Pause(POLL_STEP);
        } else if (problem.empty()) {
            QtEventThread::Instance().StopBeforeStaticsOf(options_.plugin);
            return {};
        }
    }
    Close();
    return problem;
}

std::string QCanBusAdapter::CreateDevice(std::uint32_t channel) {
    QString error;
    QCanBusDevice* device = QCanBus::instance()->createDevice(
        QString::fromStdString(options_.plugin),
        QString::fromStdString(options_.interfaces[channel]), &error);
    if (device == nullptr) {
        return "cannot create " + Where(channel) + ": " + error.toStdString();
    }
    device->setParent(QtEventThread::Instance().Root());
    devices_[channel] = device;
    QObject::connect(device, &QCanBusDevice::framesReceived, device,
                     [this, channel] { OnFramesReceived(channel); });
    QObject::connect(device, &QCanBusDevice::errorOccurred, device,
                     [this, channel, device](QCanBusDevice::CanBusError) {
                         Fail(channel, KELVIX_ERR_BACKEND,
                              Where(channel) + ": " + device->errorString().toStdString());
                     });
    if (!device->connectDevice()) {
        return "cannot connect " + Where(channel) + ": " + device->errorString().toStdString();
    }
    return {};
}

std::string QCanBusAdapter::ConnectionProblem(bool final) {
    for (std::uint32_t channel = 0; channel < CHANNEL_COUNT; ++channel) {
        QCanBusDevice* device = devices_[channel];
        if (options_.interfaces[channel].empty()) {
            continue;
        }
        if (device == nullptr || device->state() == QCanBusDevice::UnconnectedState) {
            const QString why = device ? device->errorString() : QString("device gone");
            return "cannot connect " + Where(channel) + ": " +
                   (why.isEmpty() ? std::string("connection refused") : why.toStdString());
        }
        if (device->state() != QCanBusDevice::ConnectedState) {
            return final ? "cannot connect " + Where(channel) + ": no connection within " +
                               std::to_string(options_.connectWaitMs) + " ms"
                         : "pending";
        }
    }
    return {};
}

void QCanBusAdapter::OnFramesReceived(std::uint32_t channel) {
    QCanBusDevice* device = devices_[channel];
    const auto stamp = std::chrono::duration_cast<std::chrono::microseconds>(
                           std::chrono::steady_clock::now() - openedAt_)
                           .count() /
                       100;
    while (device != nullptr && device->framesAvailable() > 0) {
        std::string error;
        auto record = FromQCanBusFrame(device->readFrame(), error);
        if (!record) {
            Fail(channel, KELVIX_ERR_BACKEND, Where(channel) + ": " + error);
            continue;
        }
        record->TimeStamp = static_cast<std::uint32_t>(stamp);
        record->TimeFlag = 1;
        if (!queues_[channel].Push(*record) && queues_[channel].Lost() > 0) {
            Fail(channel, KELVIX_ERR_BACKEND, Where(channel) + ": receive queue full, frames lost");
        }
    }
}

// A plugin may still hold frames written just before the close (virtualcan in
// its socket): asked to disconnect, it finishes them first. The devices are
// deleted once they are unconnected, or after the write wait, so the last
// frames of a short send are not lost.
void QCanBusAdapter::Close() {
    for (auto& queue : queues_) {
        queue.Close();
    }
    bool connected = false;
    QtEventThread::Instance().Call([&] { connected = BeginDisconnect(); });
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(options_.queueWaitMs);
    while (connected && std::chrono::steady_clock::now() < deadline) {
        QtEventThread::Instance().Pause(POLL_STEP);
        if (!QtEventThread::Instance().Call([&] { connected = AnyConnected(); })) {
            break;
        }
    }
    QtEventThread::Instance().Call([this] { DeleteDevices(); });
}

bool QCanBusAdapter::BeginDisconnect() {
    for (auto& device : devices_) {
        if (device != nullptr) {
            device->disconnect();  // no more callbacks into this adapter
            if (device->state() != QCanBusDevice::UnconnectedState) {
                device->disconnectDevice();
            }
        }
    }
    return AnyConnected();
}

bool QCanBusAdapter::AnyConnected() const {
    return std::any_of(std::begin(devices_), std::end(devices_), [](const auto& device) {
        return device != nullptr && device->state() != QCanBusDevice::UnconnectedState;
    });
}

void QCanBusAdapter::DeleteDevices() {
    for (auto& device : devices_) {
        if (device != nullptr) {
            device->disconnect();
            if (device->state() != QCanBusDevice::UnconnectedState) {
                device->disconnectDevice();
            }
            delete device.data();
        }
        device = nullptr;
    }
}

bool QCanBusAdapter::InitChannel(std::uint32_t channel, const CanInitRecord&) {
    return channel < CHANNEL_COUNT && !options_.interfaces[channel].empty();
}

bool QCanBusAdapter::StartChannel(std::uint32_t channel) {
    return channel < CHANNEL_COUNT && !options_.interfaces[channel].empty();
}

std::uint32_t QCanBusAdapter::Transmit(std::uint32_t channel,
                                       std::span<const CanFrameRecord> frames) {
    if (options_.interfaces[channel].empty()) {
        Fail(channel, KELVIX_ERR_BAD_CHANNEL,
             "channel " + std::to_string(channel) + " has no interface");
        return 0;
    }
    std::uint32_t sent = 0;
    while (sent < frames.size()) {
        const WriteResult result = WriteFrames(channel, frames.subspan(sent));
        sent += result.written;
        if (result.failed || (sent < frames.size() && !WaitForRoom(channel))) {
            break;
        }
    }
    return sent;
}

QCanBusAdapter::WriteResult QCanBusAdapter::WriteFrames(std::uint32_t channel,
                                                        std::span<const CanFrameRecord> frames) {
    WriteResult result;
    const bool ran = QtEventThread::Instance().Call([&] {
        QCanBusDevice* device = devices_[channel];
        if (device == nullptr) {
            result.failed = true;
            return;
        }
        for (const CanFrameRecord& record : frames) {
            if (device->framesToWrite() >= WRITE_QUEUE_LIMIT) {
                return;
            }
            std::string error;
            const auto frame = ToQCanBusFrame(record, error);
            if (!frame || !device->writeFrame(*frame)) {
                result.failed = true;
                Fail(channel, KELVIX_ERR_BACKEND,
                     Where(channel) + ": " + (frame ? device->errorString().toStdString() : error));
                return;
            }
            ++result.written;
        }
    });
    if (!ran || (result.failed && result.written == 0 && ErrorCode(channel) == 0)) {
        result.failed = true;
        Fail(channel, KELVIX_ERR_NOT_OPEN, Where(channel) + ": the device is closed");
    }
    return result;
}

// Some plugins queue written frames and send them from their own timer; a
// full queue is waited out for its bound instead of failing a long stream.
bool QCanBusAdapter::WaitForRoom(std::uint32_t channel) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(options_.queueWaitMs);
    for (;;) {
        qint64 waiting = WRITE_QUEUE_LIMIT;
        const bool ran = QtEventThread::Instance().Call([&] {
            waiting = devices_[channel] ? devices_[channel]->framesToWrite() : WRITE_QUEUE_LIMIT;
        });
        if (ran && waiting < WRITE_QUEUE_LIMIT) {
            return true;
        }
        if (!ran || std::chrono::steady_clock::now() >= deadline) {
            Fail(channel, KELVIX_ERR_QUEUE_FULL,
                 Where(channel) + ": transmit queue stayed full for " +
                     std::to_string(options_.queueWaitMs) + " ms");
            return false;
        }
        QtEventThread::Instance().Pause(POLL_STEP);
    }
}

std::int32_t QCanBusAdapter::Receive(std::uint32_t channel, std::span<CanFrameRecord> frames,
                                     std::int32_t waitMs) {
    const auto wait = std::chrono::milliseconds(std::max(waitMs, 0));
    // An unused channel's queue stays empty: its wait keeps the receive thread
    // from spinning and still ends with a close.
    return static_cast<std::int32_t>(queues_[channel].Take(frames, wait));
}

void QCanBusAdapter::Fail(std::uint32_t channel, std::uint32_t code, const std::string& text) {
    std::lock_guard lock(errorMutex_);
    errors_[channel] = CanErrorRecord{};
    errors_[channel].ErrCode = code;
    errorTexts_[channel] = text;
}

std::uint32_t QCanBusAdapter::ErrorCode(std::uint32_t channel) const {
    std::lock_guard lock(errorMutex_);
    return errors_[channel].ErrCode;
}

CanErrorRecord QCanBusAdapter::TakeError(std::uint32_t channel) {
    std::lock_guard lock(errorMutex_);
    const CanErrorRecord error = errors_[channel];
    errors_[channel] = CanErrorRecord{};
    return error;
}

std::string QCanBusAdapter::LastErrorText(std::uint32_t channel) const {
    std::lock_guard lock(errorMutex_);
    return errorTexts_[channel];
}

bool QCanBusAdapter::SetReference(std::uint32_t channel, std::uint32_t, void*) {
    return channel < CHANNEL_COUNT && !options_.interfaces[channel].empty();
}

}  // namespace kelvix
