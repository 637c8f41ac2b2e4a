// How fast the simulated boot loader takes image data, and how fast it hashes.

#include <vector>

#include <benchmark/benchmark.h>

#include "platform/system/Clock.hpp"
#include "sim/Bootloader.hpp"
#include "sim/Sha256.hpp"

namespace {

class StoppedClock final : public quillon::sys::Clock {
  public:
    quillon::sys::LocalTime Now() const override { return {}; }
    std::uint64_t MonotonicMs() const override { return 0; }
    std::uint64_t UnixTimeUs() const override { return 0; }
};

CanFrameRecord Frame(std::uint32_t id, bool command, std::uint8_t length) {
    CanFrameRecord frame{};
    frame.ID = id;
    frame.ExternFlag = command ? 1 : 0;
    frame.RemoteFlag = command ? 1 : 0;
    frame.DataLen = length;
    return frame;
}

// Each iteration takes 128 KiB in 8-byte frames, then starts a new image.
void BM_BootloaderReceive(benchmark::State& state) {
    constexpr std::int64_t FRAMES = 16384;
    StoppedClock clock;
    quillon::sim::Bootloader loader(clock, 0);
    CanFrameRecord data = Frame(1, false, 8);
    for (auto _ : state) {
        loader.OnFrame(Frame(1, true, 0));
        loader.OnFrame(Frame(2, true, 0));
        for (std::int64_t i = 0; i < FRAMES; ++i) {
            data.Data[0] = static_cast<std::uint8_t>(i);
            loader.OnFrame(data);
        }
        benchmark::DoNotOptimize(loader.ImageLength());
    }
    const auto frames = static_cast<double>(state.iterations() * FRAMES);
    state.counters["frames_per_s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["s_per_frame"] =
        benchmark::Counter(frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.SetBytesProcessed(state.iterations() * FRAMES * 8);
}
BENCHMARK(BM_BootloaderReceive);

void BM_Sha256(benchmark::State& state) {
    const std::vector<std::uint8_t> message(static_cast<std::size_t>(state.range(0)), 0x5A);
    for (auto _ : state) {
        benchmark::DoNotOptimize(quillon::sim::Sha256::HexOf(message));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Sha256)->Arg(1 << 20);

}  // namespace
