// A 1 MiB upgrade from the main window through the "sim" backend on a bus
// timed at 1 Mbit/s, in real time, with the window's receive thread running
// as it does for a user. It should take the fixed erase wait, the pauses
// between blocks and the bus time of its frames, no more: the adapter's queue
// keeps the wire busy while the upgrade sleeps or pumps. Reports the time
// taken, that sum, and the deviation between them, and the same for the
// streaming alone (program command accepted to the last frame received).

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/CQuillonDlg.hpp"
#include "bench/BenchHost.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/CanFrameBits.hpp"
#include "platform/kelvix/VirtualCanBus.hpp"
#include "platform/system/SystemServices.hpp"
#include "platform/ui/Host.hpp"
#include "protocol/FirmwareFrames.hpp"
#include "sim/Bootloader.hpp"
#include "upgrade/FirmwareTransfer.hpp"
#include "upgrade/UpgradeObserver.hpp"

namespace {

using namespace quillon;
using bench::BenchHost;

constexpr std::size_t IMAGE_BYTES = 1 << 20;
constexpr std::uint32_t BITRATE = 1'000'000;
constexpr const char* BUS_NAME = "wire-speed-bench";
constexpr std::uint32_t ERASE_MS = 7000;
constexpr auto GIVE_UP = std::chrono::seconds(120);

class NoLauncher final : public sys::ProcessLauncher, public sys::DocumentOpener {
  public:
    bool StartProcess(const std::filesystem::path&) override { return false; }
    bool OpenDocument(const std::filesystem::path&) override { return false; }
};

std::vector<std::uint8_t> MakeImage() {
    std::vector<std::uint8_t> image(IMAGE_BYTES);
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 131 + (i >> 9));
    }
    return image;
}

std::uint64_t CommandBits() {
    return kelvix::MeasureFrame(protocol::BuildEraseCommand()).lengthBits;
}

// Bits on the wire of the image data frames (and of the empty frame after an
// image of whole blocks).
std::uint64_t DataBits(const std::vector<std::uint8_t>& image) {
    constexpr std::size_t FRAME_BYTES = protocol::IMAGE_DATA_MAX_BYTES;
    std::uint64_t bits = 0;
    for (std::size_t offset = 0; offset < image.size(); offset += FRAME_BYTES) {
        const auto bytes = std::span(image).subspan(
            offset, std::min<std::size_t>(FRAME_BYTES, image.size() - offset));
        bits += kelvix::MeasureFrame(protocol::BuildImageDataFrame(bytes)).lengthBits;
    }
    if (image.size() % upgrade::FirmwareTransfer::BLOCK_BYTES == 0) {
        bits += kelvix::MeasureFrame(protocol::BuildImageDataFrame({})).lengthBits;
    }
    return bits;
}

using upgrade::FirmwareTransfer;

constexpr double ERASE_WAIT_S =
    double{FirmwareTransfer::ERASE_STEPS} * FirmwareTransfer::ERASE_STEP_MS / 1000.0;

/// The pause after each block, the last (short or empty) one included.
double BlockPauseSeconds(std::size_t imageBytes) {
    const std::size_t blocks = imageBytes / FirmwareTransfer::BLOCK_BYTES + 1;
    return static_cast<double>(blocks) * FirmwareTransfer::BLOCK_PAUSE_MS / 1000.0;
}

/// The boot loader on the bus, fed by its own thread as a device would be.
class Device {
  public:
    explicit Device(sys::Clock& clock)
        : port_(kelvix::VirtualCanBus::Named(BUS_NAME)->Attach(0)),
          loader_(clock, ERASE_MS),
          thread_([this] { Run(); }) {}
    ~Device() {
        stop_ = true;
        thread_.join();
    }
    const sim::Bootloader& Loader() const { return loader_; }

  private:
    void Run() {
        CanFrameRecord frames[64];
        while (!stop_) {
            const std::size_t count = port_->Receive(frames, std::chrono::milliseconds(20));
            for (std::size_t i = 0; i < count; ++i) {
                loader_.OnFrame(frames[i]);
            }
        }
    }

    std::unique_ptr<kelvix::VirtualCanPort> port_;
    sim::Bootloader loader_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

struct Outcome {
    double seconds = 0;
    double streamingSeconds = 0;  ///< from the program command's acceptance
    bool whole = false;
};

/// One upgrade from the window; ends when the boot loader holds the image.
Outcome UpgradeOnce(const std::filesystem::path& image, std::size_t length) {
    kelvix::SetAdapterSpecOverride(std::string("sim:nodevice,bus=") + BUS_NAME +
                                   ",bitrate=" + std::to_string(BITRATE));
    sys::SystemClock clock;
    sys::SystemSleeper sleeper;
    NoLauncher launcher;
    sys::SystemServices services{clock, sleeper, launcher, launcher, image.parent_path(),
                                 image, {}};
    BenchHost host(image.string());
    Outcome outcome;
    {
        Device device(clock);
        app::CQuillonDlg window(host, services);
        window.Create();
        const auto start = std::chrono::steady_clock::now();
        std::optional<std::chrono::steady_clock::time_point> writing;
        const upgrade::UpgradeObserver observer([&writing](const upgrade::UpgradeProgress& p) {
            if (p.phase == upgrade::UpgradePhase::Writing && !writing) {
                writing = std::chrono::steady_clock::now();
            }
        });
        window.UpgradeFirmware(&observer);
        while (device.Loader().ImageLength() < length && host.boxes == 0 &&
               std::chrono::steady_clock::now() - start < GIVE_UP) {
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        const auto end = std::chrono::steady_clock::now();
        outcome.seconds = std::chrono::duration<double>(end - start).count();
        outcome.streamingSeconds =
            std::chrono::duration<double>(end - writing.value_or(end)).count();
        outcome.whole = host.boxes == 0 && device.Loader().ImageLength() == length &&
                        device.Loader().LostFrames() == 0;
        window.CloseWindow();
    }
    kelvix::CloseAllAdapters();
    return outcome;
}

void BM_UpgradeAtWireSpeed(benchmark::State& state) {
    const auto image = MakeImage();
    const auto dir = std::filesystem::temp_directory_path() /
                     ("quillon-wire-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto path = dir / "firmware.bin";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    const double dataSeconds = static_cast<double>(DataBits(image)) / BITRATE;
    const double busSeconds = dataSeconds + 2.0 * static_cast<double>(CommandBits()) / BITRATE;
    const double expected = ERASE_WAIT_S + BlockPauseSeconds(image.size()) + busSeconds;
    const double expectedStreaming = dataSeconds + BlockPauseSeconds(image.size());
    Outcome outcome;
    for (auto _ : state) {
        outcome = UpgradeOnce(path, image.size());
    }
    std::filesystem::remove_all(dir);
    if (!outcome.whole) {
        state.SkipWithError("the boot loader did not receive the whole image");
        return;
    }
    state.counters["took_s"] = outcome.seconds;
    state.counters["expected_s"] = expected;
    state.counters["bus_s"] = busSeconds;
    state.counters["deviation"] = outcome.seconds / expected - 1.0;
    state.counters["streaming_s"] = outcome.streamingSeconds;
    state.counters["expected_streaming_s"] = expectedStreaming;
}
BENCHMARK(BM_UpgradeAtWireSpeed)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
