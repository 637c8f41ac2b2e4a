#include "platform/kelvix/SimAdapter.hpp"

#include <charconv>
#include <chrono>
#include <mutex>

namespace kelvix {
namespace {

std::mutex& FactoryMutex() {
    static std::mutex mutex;
    return mutex;
}

SimDeviceFactory& Factory() {
    static SimDeviceFactory factory;
    return factory;
}

struct BusTime {
    quillon::sys::Clock* clock = nullptr;
    quillon::sys::Sleeper* sleeper = nullptr;
};

BusTime& TheBusTime() {
    static BusTime time;
    return time;
}

}  // namespace

void SetSimDeviceFactory(SimDeviceFactory factory) {
    std::lock_guard lock(FactoryMutex());
    Factory() = std::move(factory);
}

void SetSimBusTime(quillon::sys::Clock* clock, quillon::sys::Sleeper* sleeper) {
    std::lock_guard lock(FactoryMutex());
    TheBusTime() = BusTime{clock, sleeper};
}

SimAdapter::~SimAdapter() {
    Close();
}

SimAdapter::SimAdapter(std::shared_ptr<VirtualCanBus> bus, Options options)
    : bus_(std::move(bus)),
      deviceOptions_(std::move(options.deviceOptions)),
      attachDevice_(options.attachDevice),
      refuseFrom_(options.refuseFrom),
      queueFrames_(static_cast<std::size_t>(options.queueFrames)),
      queueWaitNs_(options.queueWaitMs * 1'000'000) {}

std::string SimAdapter::Open() {
    framesOffered_ = 0;
    if (attachDevice_) {
        SimDeviceFactory factory;
        {
            std::lock_guard lock(FactoryMutex());
            factory = Factory();
        }
        if (factory) {
            std::string error;
            device_ = factory(bus_, deviceOptions_, error);
            if (!device_) {
                return "simulated device: " + error;
            }
        }
    }
    for (std::uint32_t channel = 0; channel < CHANNEL_COUNT; ++channel) {
        ports_[channel] = bus_->Attach(channel);
    }
    return {};
}

void SimAdapter::Close() {
    for (auto& port : ports_) {
        if (port) {
            port->Close();
        }
    }
    device_.reset();
}

bool SimAdapter::InitChannel(std::uint32_t channel, const CanInitRecord&) {
    return channel < CHANNEL_COUNT;
}

bool SimAdapter::StartChannel(std::uint32_t channel) {
    return channel < CHANNEL_COUNT;
}

std::uint32_t SimAdapter::Transmit(std::uint32_t channel, std::span<const CanFrameRecord> frames) {
    auto& port = ports_[channel];
    std::uint32_t accepted = 0;
    for (const auto& frame : frames) {
        if (Refuses() || !port->Offer(frame, queueFrames_, queueWaitNs_)) {
            break;
        }
        ++accepted;
    }
    return accepted;
}

// Frames are counted only for a refusal to come: without one the count is never read.
bool SimAdapter::Refuses() {
    if (refuseFrom_ == 0) {
        return false;
    }
    return ++framesOffered_ >= refuseFrom_;
}

std::int32_t SimAdapter::Receive(std::uint32_t channel, std::span<CanFrameRecord> frames,
                                 std::int32_t waitMs) {
    const auto wait = std::chrono::milliseconds(waitMs > 0 ? waitMs : 0);
    return static_cast<std::int32_t>(ports_[channel]->Receive(frames, wait));
}

CanErrorRecord SimAdapter::TakeError(std::uint32_t) {
    return CanErrorRecord{};
}

bool SimAdapter::SetReference(std::uint32_t, std::uint32_t, void*) {
    return true;
}

namespace {

using ApplySimOption = bool (*)(std::string_view value, SimAdapter::Options& options);

struct SimOptionRule {
    std::string_view key;
    ApplySimOption apply;
};

constexpr std::uint64_t MAX_BITRATE = 10'000'000;
constexpr std::uint64_t MAX_QUEUE = 1'000'000;
constexpr std::uint64_t MAX_QUEUE_WAIT_MS = 24ull * 3600 * 1000;

bool ParseCount(std::string_view text, std::uint64_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// The adapter's own options, by key; any other key belongs to the device.
constexpr SimOptionRule SIM_OPTIONS[] = {
    {"bus",
     [](std::string_view v, SimAdapter::Options& o) {
         o.busName = std::string(v);
         return !v.empty();
     }},
    {"nodevice",
     [](std::string_view v, SimAdapter::Options& o) {
         o.attachDevice = false;
         return v.empty();
     }},
    {"refuse",
     [](std::string_view v, SimAdapter::Options& o) {
         return ParseCount(v, o.refuseFrom) && o.refuseFrom > 0;
     }},
    {"bitrate",
     [](std::string_view v, SimAdapter::Options& o) {
         return ParseCount(v, o.bitrate) && o.bitrate > 0 && o.bitrate <= MAX_BITRATE;
     }},
    {"queue",
     [](std::string_view v, SimAdapter::Options& o) {
         return ParseCount(v, o.queueFrames) && o.queueFrames > 0 && o.queueFrames <= MAX_QUEUE;
     }},
    {"queue-wait-ms",
     [](std::string_view v, SimAdapter::Options& o) {
         return ParseCount(v, o.queueWaitMs) && o.queueWaitMs <= MAX_QUEUE_WAIT_MS;
     }},
};

const SimOptionRule* FindSimOption(std::string_view key) {
    for (const auto& rule : SIM_OPTIONS) {
        if (rule.key == key) {
            return &rule;
        }
    }
    return nullptr;
}

}  // namespace

namespace {

// Times `bus` on the clock SetSimBusTime chose, else the system's.
bool TimeBus(VirtualCanBus& bus, std::uint32_t bitrate) {
    static quillon::sys::SystemClock systemClock;
    static quillon::sys::SystemSleeper systemSleeper;
    BusTime time;
    {
        std::lock_guard lock(FactoryMutex());
        time = TheBusTime();
    }
    return bus.SetBitrate(bitrate, time.clock != nullptr ? *time.clock : systemClock,
                          time.sleeper != nullptr ? *time.sleeper : systemSleeper);
}

}  // namespace

std::optional<SimAdapter::Options> SimAdapter::ParseOptions(std::string_view options,
                                                            std::string& error) {
    Options parsed;
    while (!options.empty()) {
        const auto comma = options.find(',');
        const std::string_view item = options.substr(0, comma);
        options = comma == std::string_view::npos ? std::string_view() : options.substr(comma + 1);
        const auto equals = item.find('=');
        const auto* rule = FindSimOption(item.substr(0, equals));
        if (rule == nullptr) {
            if (!item.empty()) {
                parsed.deviceOptions +=
                    (parsed.deviceOptions.empty() ? "" : ",") + std::string(item);
            }
            continue;
        }
        const auto value =
            equals == std::string_view::npos ? std::string_view() : item.substr(equals + 1);
        if (!rule->apply(value, parsed)) {
            error = "simulated adapter option \"" + std::string(item) + "\" has a bad value";
            return std::nullopt;
        }
    }
    return parsed;
}

std::unique_ptr<Adapter> SimAdapter::FromOptions(std::string_view options, std::string& error) {
    auto parsed = ParseOptions(options, error);
    if (!parsed) {
        return nullptr;
    }
    auto bus =
        parsed->busName.empty() ? VirtualCanBus::Create() : VirtualCanBus::Named(parsed->busName);
    if (parsed->bitrate != 0 && !TimeBus(*bus, static_cast<std::uint32_t>(parsed->bitrate))) {
        error = "bus \"" + parsed->busName + "\" already runs at " +
                std::to_string(bus->Bitrate()) + " bit/s";
        return nullptr;
    }
    return std::make_unique<SimAdapter>(std::move(bus), std::move(*parsed));
}

}  // namespace kelvix
