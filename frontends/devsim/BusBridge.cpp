#include "frontends/devsim/BusBridge.hpp"

#include <algorithm>
#include <chrono>

#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/Kelvix.h"

namespace quillon::sim {
namespace {

constexpr std::uint32_t BATCH = 50;
// Channel 0 is waited on; channel 1 is then only drained, so both are
// visited at least this often.
constexpr std::int32_t INBOUND_WAIT_MS = 5;
constexpr auto OUTBOUND_WAIT = std::chrono::milliseconds(50);

}  // namespace

std::vector<kelvix::TaggedFrame> MergeByStamp(std::span<const CanFrameRecord> channel0,
                                              std::span<const CanFrameRecord> channel1) {
    std::vector<kelvix::TaggedFrame> merged;
    merged.reserve(channel0.size() + channel1.size());
    for (const auto& frame : channel0) {
        merged.push_back({0, frame});
    }
    for (const auto& frame : channel1) {
        merged.push_back({1, frame});
    }
    std::stable_sort(merged.begin(), merged.end(), [](const auto& a, const auto& b) {
        return a.frame.TimeStamp < b.frame.TimeStamp;
    });
    return merged;
}

BusBridge::BusBridge(std::shared_ptr<kelvix::VirtualCanBus> bus, std::uint32_t adapterIndex)
    : bus_(std::move(bus)), index_(adapterIndex) {}

BusBridge::~BusBridge() {
    Stop();
}

std::string BusBridge::Open() {
    if (VCI_OpenDevice(KELVIX_DEVICE_TYPE, index_, 0) != 1) {
        return kelvix::LastOpenError();
    }
    for (std::uint32_t channel = 0; channel < kelvix::CHANNEL_COUNT; ++channel) {
        VCI_StartCAN(KELVIX_DEVICE_TYPE, index_, channel);
    }
    port_ = bus_->Attach(kelvix::VirtualCanPort::ALL_CHANNELS);
    running_ = true;
    inbound_ = std::thread([this] { Inbound(); });
    outbound_ = std::thread([this] { Outbound(); });
    return {};
}

void BusBridge::Stop() {
    if (!running_.exchange(false)) {
        return;
    }
    port_->Close();
    inbound_.join();
    outbound_.join();
    VCI_CloseDevice(KELVIX_DEVICE_TYPE, index_);
}

void BusBridge::Inbound() {
    CanFrameRecord first[BATCH];
    CanFrameRecord second[BATCH];
    while (running_) {
        const std::int32_t count0 =
            VCI_Receive(KELVIX_DEVICE_TYPE, index_, 0, first, BATCH, INBOUND_WAIT_MS);
        const std::int32_t count1 = VCI_Receive(KELVIX_DEVICE_TYPE, index_, 1, second, BATCH, 0);
        if (count0 < 0 && count1 <= 0) {
            // A failing channel returns at once; keep the loop from spinning.
            std::this_thread::sleep_for(std::chrono::milliseconds(INBOUND_WAIT_MS));
        }
        const auto merged = MergeByStamp({first, static_cast<std::size_t>(std::max(count0, 0))},
                                         {second, static_cast<std::size_t>(std::max(count1, 0))});
        for (const auto& tagged : merged) {
            port_->SendOn(tagged.channel, tagged.frame);
        }
        framesIn_ += merged.size();
    }
}

void BusBridge::Outbound() {
    kelvix::TaggedFrame buffer[BATCH];
    while (running_) {
        const std::size_t count = port_->ReceiveTagged(buffer, OUTBOUND_WAIT);
        for (std::size_t i = 0; i < count; ++i) {
            CanFrameRecord frame = buffer[i].frame;
            frame.TimeStamp = 0;
            frame.TimeFlag = 0;
            const std::uint64_t position = framesOut_ + transmitFailures_ + 1;
            const bool refused = refuseFrom_ != 0 && position >= refuseFrom_;
            if (!refused &&
                VCI_Transmit(KELVIX_DEVICE_TYPE, index_, buffer[i].channel, &frame, 1) == 1) {
                ++framesOut_;
            } else {
                ++transmitFailures_;
            }
        }
    }
}

}  // namespace quillon::sim
