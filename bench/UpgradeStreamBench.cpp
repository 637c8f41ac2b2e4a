// Streams a 1 MiB firmware image through the adapter library's "sim" backend
// into the simulated boot loader, as the upgrade command does, with the erase
// wait taken off the clock: what is left is the per-frame cost of the upgrade.

#include <unistd.h>

#include <atomic>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/BenchHost.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/Kelvix.h"
#include "platform/kelvix/VirtualCanBus.hpp"
#include "platform/system/SystemServices.hpp"
#include "platform/ui/Dialog.hpp"
#include "platform/ui/Host.hpp"
#include "sim/Bootloader.hpp"
#include "support/sim/DeviceSleeper.hpp"
#include "upgrade/FirmwareUpgrade.hpp"
#include "upgrade/UpgradeControls.hpp"

namespace {

using namespace quillon;
using bench::BenchHost;

constexpr std::size_t IMAGE_BYTES = 1 << 20;
constexpr const char* BUS_NAME = "upgrade-bench";

class BenchClock final : public sys::Clock {
  public:
    sys::LocalTime Now() const override { return {}; }
    std::uint64_t MonotonicMs() const override { return nowMs.load(); }
    std::uint64_t UnixTimeUs() const override { return nowMs * 1000; }
    void AdvanceMs(std::uint64_t ms) { nowMs += ms; }
    std::atomic<std::uint64_t> nowMs{0};
};

class BenchLink final : public upgrade::UpgradeLink {
  public:
    bool IsRunning() const override { return running_; }
    void ConnectForUpgrade() override {
        VCI_OpenDevice(KELVIX_DEVICE_TYPE, 0, 0);
        VCI_StartCAN(KELVIX_DEVICE_TYPE, 0, 0);
        running_ = true;
    }

  private:
    bool running_ = false;
};

class NoLauncher final : public sys::ProcessLauncher, public sys::DocumentOpener {
  public:
    bool StartProcess(const std::filesystem::path&) override { return false; }
    bool OpenDocument(const std::filesystem::path&) override { return false; }
};

const ui::DialogTemplate& WindowTemplate() {
    using ui::ControlKind;
    auto control = [](int id, ControlKind kind) {
        return ui::ControlTemplate{id, kind, "", {}, {}, true, true, ui::STYLE_NONE};
    };
    static const ui::DialogTemplate dialogTemplate{
        102,
        "Quillon",
        330,
        140,
        {control(upgrade::IDC_CONNECT, ControlKind::PushButton),
         control(upgrade::IDC_UPGRADE, ControlKind::PushButton),
         control(upgrade::IDC_ENTER_UPGRADE, ControlKind::PushButton),
         control(upgrade::IDC_PROGRESS, ControlKind::ProgressBar),
         control(upgrade::IDC_STATUS, ControlKind::Static),
         control(upgrade::IDC_UPGRADE_MODE, ControlKind::Static)}};
    return dialogTemplate;
}

std::filesystem::path WriteImage() {
    const auto path = std::filesystem::temp_directory_path() /
                      ("quillon-upgrade-bench-" + std::to_string(::getpid()) + ".bin");
    std::ofstream out(path, std::ios::binary);
    for (std::size_t i = 0; i < IMAGE_BYTES; ++i) {
        out.put(static_cast<char>(i * 131 + (i >> 9)));
    }
    return path;
}

/// One whole upgrade; returns the image data frames the boot loader took.
std::uint64_t StreamOnce(const std::filesystem::path& image) {
    kelvix::SetAdapterSpecOverride(std::string("sim:nodevice,bus=") + BUS_NAME);
    auto port = kelvix::VirtualCanBus::Named(BUS_NAME)->Attach(0);
    BenchClock clock;
    sim::Bootloader loader(clock, 8000);
    test::DeviceSleeper sleeper(clock, *port, loader);
    NoLauncher launcher;
    sys::SystemServices services{clock, sleeper, launcher, launcher, image.parent_path(),
                                 image, {}};
    BenchHost host(image.string());
    ui::Dialog window(WindowTemplate(), host);
    BenchLink link;
    upgrade::UpgradeFirmware(window, link, services);
    sleeper.Deliver();
    kelvix::CloseAllAdapters();
    const bool complete = host.boxes == 0 && loader.ImageLength() == IMAGE_BYTES;
    return complete ? loader.FramesReceived() : 0;
}

void BM_UpgradeStreamSim(benchmark::State& state) {
    const auto image = WriteImage();
    std::uint64_t frames = 0;
    const std::clock_t cpuStart = std::clock();
    for (auto _ : state) {
        const std::uint64_t taken = StreamOnce(image);
        if (taken == 0) {
            state.SkipWithError("the boot loader did not receive the whole image");
            break;
        }
        frames += taken;
    }
    const double cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    std::filesystem::remove(image);
    const auto total = static_cast<double>(frames);
    // Processor time of the whole process: what a frame costs whatever else
    // the machine is doing.
    state.counters["frames_per_cpu_s"] = total / cpuSeconds;
    state.counters["frames_per_s"] = benchmark::Counter(total, benchmark::Counter::kIsRate);
    state.counters["s_per_frame"] =
        benchmark::Counter(total, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.SetBytesProcessed(static_cast<std::int64_t>(frames * 8));
}
BENCHMARK(BM_UpgradeStreamSim)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
