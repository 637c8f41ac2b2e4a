// Frames through the whole Brindle path, one VCI_Transmit per frame as the
// firmware upgrade sends them: adapter library, "brindle" backend, handle
// API, Brindle, simulated USB bus, adapter firmware, untimed virtual bus, and
// a listener on the bus that takes every frame. A run ends when the listener
// has heard them all.
#include <atomic>
#include <thread>

#include <benchmark/benchmark.h>

#include "driver/backend/BrindleBackend.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/Kelvix.h"
#include "platform/kelvix/VirtualCanBus.hpp"

namespace {

/// As many frames as a 1 MiB image takes.
constexpr std::uint64_t FRAMES = 131072;
constexpr const char* BUS_NAME = "brindle-path-bench";

/// Takes frames off the bus until `expected` have arrived; returns how many did.
std::uint64_t Listen(kelvix::VirtualCanPort& port, std::uint64_t expected) {
    std::vector<CanFrameRecord> batch(512);
    std::uint64_t heard = 0;
    while (heard < expected) {
        const std::size_t got = port.Receive(batch, std::chrono::milliseconds(2000));
        if (got == 0) {
            break;
        }
        heard += got;
    }
    return heard;
}

/// Sends FRAMES frames one call each; returns the frames the bus carried.
std::uint64_t SendOnce() {
    auto port = kelvix::VirtualCanBus::Named(BUS_NAME)->Attach(0);
    std::uint64_t heard = 0;
    std::thread listener([&] { heard = Listen(*port, FRAMES); });
    if (VCI_OpenDevice(KELVIX_DEVICE_TYPE, 0, 0) != 1 ||
        VCI_StartCAN(KELVIX_DEVICE_TYPE, 0, 0) != 1) {
        listener.join();
        return 0;
    }
    CanFrameRecord frame{};
    frame.DataLen = 8;
    for (std::uint64_t i = 0; i < FRAMES; ++i) {
        frame.ID = static_cast<std::uint32_t>(i & 0x7FF);
        frame.Data[0] = static_cast<std::uint8_t>(i);
        if (VCI_Transmit(KELVIX_DEVICE_TYPE, 0, 0, &frame, 1) != 1) {
            break;
        }
    }
    listener.join();
    VCI_CloseDevice(KELVIX_DEVICE_TYPE, 0);
    return heard;
}

void BM_BrindlePathTransmit(benchmark::State& state) {
    brindle::RegisterBrindleBackend();
    kelvix::SetAdapterSpecOverride(std::string("brindle:nodevice,bus=") + BUS_NAME);
    std::uint64_t frames = 0;
    for (auto _ : state) {
        const std::uint64_t heard = SendOnce();
        if (heard != FRAMES) {
            state.SkipWithError("the bus did not carry every frame");
            break;
        }
        frames += heard;
    }
    kelvix::CloseAllAdapters();
    const auto total = static_cast<double>(frames);
    state.counters["frames_per_s"] = benchmark::Counter(total, benchmark::Counter::kIsRate);
    state.counters["s_per_frame"] =
        benchmark::Counter(total, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BrindlePathTransmit)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
