// A stream of frames from the device, in any order, into the main window's
// frame handler as the receive thread hands them over: identity, parameters,
// DTU, debug text and storage replies. The payloads are enciphered first, as
// the device would, so the decoders see the fuzzer's plain bytes.
#include "fuzz/FuzzInput.hpp"
#include "fuzz/FuzzWindow.hpp"
#include "protocol/FirmwareKey.hpp"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::FuzzWindow fuzzWindow;
    static const protocol::Cpc1crypt cipher(protocol::FIRMWARE_KEY);
    fuzz::FuzzInput input(data, size);
    while (!input.Empty()) {
        const std::uint32_t channel = input.Byte() & 1;
        CanFrameRecord frame = input.Frame();
        cipher.EncipherPayload(frame.Data);
        fuzzWindow.window.HandleFrame(channel, frame);
    }
    fuzzWindow.host.PumpMessages();
    fuzzWindow.ForgetHistory();
    return 0;
}
