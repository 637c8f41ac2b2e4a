// The adapter's USB protocol in both directions. Host side: any bytes as a
// received frame record or a response record decode to a frame of at most
// eight data bytes or are refused (callers drop channels other than 0 and 1). Adapter side: any bytes written to the transmit pipe as frame
// records and to the command pipe as command records, through Brindle and the
// simulated USB bus into the adapter firmware; each command is answered.
#include <array>
#include <cstdlib>

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::AdapterBench bench;
    static const kmdf::UserHandle transmit = bench.Open("PIPE01").handle;
    static const kmdf::UserHandle response = bench.Open("PIPE02").handle;
    static const kmdf::UserHandle command = bench.Open("PIPE03").handle;
    auto& api = bench.machine->Api();
    fuzz::FuzzInput input(data, size);
    HostSide(input);
    while (!input.Empty()) {
        const std::uint8_t kind = input.Byte();
        const auto bytes = input.Take(kind & 1 ? input.Byte() % 32 : input.U16() % 512);
        if (bytes.empty()) {
            continue;
        }
        if ((kind & 1) == 0) {
            (void)api.WriteFile(fuzz::FUZZ_PROCESS, transmit, bytes);
            continue;
        }
        const auto written = api.WriteFile(fuzz::FUZZ_PROCESS, command, bytes);
        if (kmdf::NT_SUCCESS(written.status) && written.information > 0) {
            std::array<std::uint8_t, usb::RESPONSE_RECORD_SIZE> answer{};
            (void)api.ReadFile(fuzz::FUZZ_PROCESS, response, answer);
        }
    }
    return 0;
}
