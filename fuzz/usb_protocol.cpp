// The adapter's USB protocol in both directions. Host side: any bytes as a
// received frame record or a response record decode to a frame of at most
// eight data bytes or are refused (callers drop channels other than 0 and 1).
// Adapter side: any bytes written to the transmit endpoint as frame records
// and to the command endpoint as command records. Most inputs go straight
// into the adapter firmware's USB function on a fresh, unstarted firmware, so
// no thread is involved: the transmit queue takes whole records until it is
// full, and each command is answered with one response record. One input in
// sixteen (picked by a hash of all its bytes, so that descendants of such an
// input do not all inherit the slow way) goes through Brindle and the
// simulated USB bus instead, which covers the driver's read and write paths.
#include <array>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "driver/backend/AdapterUsbProtocol.hpp"
#include "fuzz/AdapterBench.hpp"
#include "fuzz/FuzzInput.hpp"

using namespace quillon;
namespace usb = brindle::usb;

namespace {

void HostSide(fuzz::FuzzInput& input) {
    if (const auto decoded = usb::DecodeFrame(input.Take(usb::FRAME_RECORD_SIZE))) {
        if (decoded->frame.DataLen > 8) {
            std::abort();
        }
        (void)usb::EncodeFrame(decoded->channel, decoded->frame);
    }
    (void)usb::DecodeResponse(input.Take(usb::RESPONSE_RECORD_SIZE));
    (void)usb::DecodeInitPayload(input.Take(input.Byte() % 24));
}

struct Write {
    bool command = false;
    std::span<const std::uint8_t> bytes;
};

Write NextWrite(fuzz::FuzzInput& input) {
    const std::uint8_t kind = input.Byte();
    const bool command = kind & 1;
    return {command, input.Take(command ? input.Byte() % 32 : input.U16() % 512)};
}

// The firmware's own endpoints, called as the bus would call them.
void IntoFirmware(fuzz::FuzzInput& input) {
    std::string error;
    brindle::AdapterFirmware firmware(kelvix::SimAdapter::FromOptions("nodevice", error));
    while (!input.Empty()) {
        const Write write = NextWrite(input);
        if (!write.command) {
            const std::optional<std::size_t> taken =
                firmware.WriteOut(usb::ENDPOINT_TRANSMIT, write.bytes);
            if (taken && (*taken > write.bytes.size() || *taken % usb::FRAME_RECORD_SIZE != 0)) {
                std::abort();  // only whole records are taken, never more than offered
            }
            continue;
        }
        if (firmware.WriteOut(usb::ENDPOINT_COMMAND, write.bytes) != write.bytes.size()) {
            std::abort();
        }
        std::array<std::uint8_t, usb::RESPONSE_RECORD_SIZE> answer{};
        if (firmware.ReadIn(usb::ENDPOINT_RESPONSE, answer) != answer.size() ||
            !usb::DecodeResponse(answer) ||
            firmware.ReadIn(usb::ENDPOINT_RESPONSE, answer).has_value()) {
            std::abort();  // exactly one response record per command
        }
    }
}

// The same writes through Brindle's pipes on the simulated USB bus.
void ThroughDriver(fuzz::FuzzInput& input) {
    static fuzz::AdapterBench bench;
    static const kmdf::UserHandle transmit = bench.Open("PIPE01").handle;
    static const kmdf::UserHandle response = bench.Open("PIPE02").handle;
    static const kmdf::UserHandle command = bench.Open("PIPE03").handle;
    auto& api = bench.machine->Api();
    while (!input.Empty()) {
        const Write write = NextWrite(input);
        if (write.bytes.empty()) {
            continue;
        }
        if (!write.command) {
            (void)api.WriteFile(fuzz::FUZZ_PROCESS, transmit, write.bytes);
            continue;
        }
        const auto written = api.WriteFile(fuzz::FUZZ_PROCESS, command, write.bytes);
        if (kmdf::NT_SUCCESS(written.status) && written.information > 0) {
            std::array<std::uint8_t, usb::RESPONSE_RECORD_SIZE> answer{};
            (void)api.ReadFile(fuzz::FUZZ_PROCESS, response, answer);
        }
    }
}

// FNV-1a over the whole input.
std::uint32_t Hash(const std::uint8_t* data, std::size_t size) {
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ data[i]) * 16777619u;
    }
    return hash;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const bool throughDriver = Hash(data, size) % 16 == 0;
    fuzz::FuzzInput input(data, size);
    HostSide(input);
    if (throughDriver) {
        ThroughDriver(input);
    } else {
        IntoFirmware(input);
    }
    return 0;
}
