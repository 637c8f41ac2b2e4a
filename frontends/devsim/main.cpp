// quillon-devsim: the device simulator as its own process, on any bus the
// adapter library reaches.
#include <atomic>
#include <chrono>
#include <csignal>
#include <iostream>
#include <thread>

#include "frontends/adapters/BuildBackends.hpp"
#include "frontends/devsim/BusBridge.hpp"
#include "frontends/devsim/DevsimOptions.hpp"
#include "frontends/devsim/DevsimReport.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) {
    stopRequested = 1;
}

constexpr auto POLL_INTERVAL = std::chrono::milliseconds(50);

int Run(const quillon::sim::DevsimOptions& options) {
    using namespace quillon;
    kelvix::SetAdapterSpecOverride(options.bus);
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);

    sys::SystemClock clock;
    sys::SystemSleeper sleeper;
    sim::DevsimReport report(std::cout, clock);
    auto bus = kelvix::VirtualCanBus::Create();
    if (options.bitrate != 0) {
        bus->SetBitrate(options.bitrate, clock, sleeper);
    }
    sim::BusBridge bridge(bus, options.adapterIndex);
    bridge.RefuseFrom(options.refuseFrom);
    if (const std::string error = bridge.Open(); !error.empty()) {
        std::cerr << "quillon-devsim: cannot open the bus: " << error << std::endl;
        return sim::DEVSIM_NO_BUS;
    }
    // The device starts once the outside bus is open: a replayer sends as it
    // starts, and what it sent before the bus was there would be lost.
    sim::SimulatedDevice device(bus, options.device, clock, report.Log());
    std::cout << "quillon-devsim: device type " << int(options.device.type) << " on " << options.bus
              << (options.deviceText.empty() ? "" : " (" + options.deviceText + ")") << "\nready"
              << std::endl;
    while (stopRequested == 0) {
        report.Poll(device);
        std::this_thread::sleep_for(POLL_INTERVAL);
    }
    report.Poll(device);
    bridge.Stop();
    std::cout << "stopped: " << bridge.FramesIn() << " frames in, " << bridge.FramesOut()
              << " frames out, " << bridge.TransmitFailures() << " refused" << std::endl;
    return sim::DEVSIM_OK;
}

}  // namespace

int main(int argc, char** argv) {
    int status = quillon::sim::DEVSIM_OK;
    const auto options = quillon::sim::ParseDevsimOptions(argc, argv, std::cout, std::cerr, status);
    if (!options) {
        return status;
    }
    quillon::adapters::RegisterBuildBackends();
    return quillon::adapters::RunWithBuildBackends([&] { return Run(*options); });
}
