// The receive path of the main window as a read's replies take it: a receive
// thread hands each enciphered frame to CQuillonDlg::HandleFrame (decipher,
// post to the user-interface thread through the host), and the
// user-interface thread pumps and decodes them into the record. Two threads,
// so besides the frames per second of wall time it reports frames per second
// of processor time: what one core manages.

#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/CQuillonDlg.hpp"
#include "platform/system/SystemServices.hpp"
#include "platform/ui/Host.hpp"
#include "protocol/Cpc1crypt.hpp"
#include "protocol/FirmwareKey.hpp"
#include "protocol/ParameterFrames.hpp"

namespace {

using namespace quillon;

/// Channel blocks handed over per iteration.
constexpr int BLOCKS = 500;
constexpr auto PUMP_WAIT = std::chrono::milliseconds(10);

class QuietHost final : public ui::Host {
  public:
    int MessageBox(const ui::Dialog*, std::string_view, std::string_view, unsigned) override {
        return ui::IDOK;
    }
    std::optional<std::string> OpenFileDialog(const ui::Dialog*, std::string_view) override {
        return std::nullopt;
    }
    int RunModal(ui::Dialog&) override { return ui::IDOK; }
};

class NoSleep final : public sys::Sleeper {
  public:
    void SleepMs(std::uint32_t) override {}
};

class NoLauncher final : public sys::ProcessLauncher, public sys::DocumentOpener {
  public:
    bool StartProcess(const std::filesystem::path&) override { return false; }
    bool OpenDocument(const std::filesystem::path&) override { return false; }
};

// A channel block as the device answers a read: frames 1..42, enciphered.
std::vector<CanFrameRecord> ChannelBlockReply() {
    protocol::Cpc1crypt cipher(protocol::FIRMWARE_KEY);
    std::vector<CanFrameRecord> frames;
    for (std::uint32_t id = protocol::ID_CHANNEL; id <= 42; ++id) {
        CanFrameRecord frame = protocol::MakeConfigFrame(id, true);
        frame.Data[0] = 1;
        frame.Data[4] = static_cast<std::uint8_t>(id);
        cipher.EncipherPayload(frame.Data);
        frames.push_back(frame);
    }
    return frames;
}

/// One batch: a receive thread hands BLOCKS blocks over while this thread,
/// the user-interface thread, pumps until every frame is decoded.
void HandOver(app::CQuillonDlg& window, ui::Host& host, const std::vector<CanFrameRecord>& block) {
    std::atomic<bool> done{false};
    std::thread receiver([&] {
        for (int i = 0; i < BLOCKS; ++i) {
            for (const auto& frame : block) {
                window.HandleFrame(0, frame);
            }
        }
        done = true;
    });
    while (!done || host.PendingMessages() != 0) {
        host.WaitForMessage(PUMP_WAIT);
        host.PumpMessages();
    }
    receiver.join();
}

void BM_ReceivePath(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("quillon-receive-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    sys::SystemClock clock;
    NoSleep sleeper;
    NoLauncher launcher;
    sys::SystemServices services{clock, sleeper, launcher, launcher, dir, dir / "quillon", {}};
    QuietHost host;
    {
        app::CQuillonDlg window(host, services);
        window.Create();
        const auto block = ChannelBlockReply();
        const std::clock_t cpuStart = std::clock();
        for (auto _ : state) {
            HandOver(window, host, block);
        }
        const double cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        benchmark::DoNotOptimize(window.ReadBackChannel(0).enable);
        const auto total = static_cast<double>(state.iterations()) * BLOCKS * block.size();
        state.counters["frames_per_s"] = benchmark::Counter(total, benchmark::Counter::kIsRate);
        state.counters["s_per_frame"] =
            benchmark::Counter(total, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
        state.counters["frames_per_cpu_s"] = total / cpuSeconds;
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ReceivePath)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
