// Any frame sequence from the PC into the simulated device, enciphered as the
// program sends it: parameter writes, read requests, storage initialisation,
// DTU frames, debug text and upgrade frames. The device has no thread of
// its own here: it takes the input's frames on the fuzzer's thread, must
// have heard every one of them, and what it answered is drained.
#include <chrono>
#include <cstdlib>

#include "fuzz/FuzzInput.hpp"
#include "platform/kelvix/VirtualCanBus.hpp"
#include "platform/system/Clock.hpp"
#include "protocol/FirmwareKey.hpp"
#include "sim/SimulatedDevice.hpp"

using namespace quillon;

namespace {

struct Bench {
    Bench() {
        sim::DeviceConfig config;
        config.eraseMs = 0;
        config.storageDelayMs = 0;
        config.ownThread = false;
        device = std::make_unique<sim::SimulatedDevice>(bus, config, clock);
    }
    sys::SystemClock clock;
    std::shared_ptr<kelvix::VirtualCanBus> bus = kelvix::VirtualCanBus::Create();
    std::unique_ptr<kelvix::VirtualCanPort> pc = bus->Attach(kelvix::VirtualCanPort::ALL_CHANNELS);
    std::unique_ptr<sim::SimulatedDevice> device;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Bench bench;
    static const protocol::Cpc1crypt cipher(protocol::FIRMWARE_KEY);
    fuzz::FuzzInput input(data, size);
    const std::uint64_t before = bench.device->FramesReceived();
    std::uint64_t sent = 0;
    while (!input.Empty()) {
        const std::uint32_t channel = input.Byte() & 1;
        CanFrameRecord frame = input.Frame();
        cipher.EncipherPayload(frame.Data);
        bench.pc->SendOn(channel, frame);
        ++sent;
    }
    if (bench.device->HandleDelivered() != sent ||
        bench.device->FramesReceived() != before + sent) {
        std::abort();
    }
    CanFrameRecord answers[64];
    while (bench.pc->Receive(answers, std::chrono::milliseconds(0)) > 0) {
    }
    return 0;
}
