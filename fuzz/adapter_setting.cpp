// Any --adapter text (or first line of kelvix.conf): split into backend and
// options, the simulated device's and the SocketCAN backend's option parsers
// take or refuse the options, and the text echoed in a complaint carries no
// control character.
#include <cstdlib>
#include <string>

#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/socketcan/SocketCanOptions.hpp"
#include "sim/DeviceConfig.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const kelvix::AdapterSpec spec = kelvix::AdapterSpec::Parse(text);
    std::string error;
    (void)quillon::sim::ParseDeviceConfig(spec.options, error);
    error.clear();
    (void)kelvix::ParseSocketCanOptions(spec.options, error);
    for (const char c : kelvix::EscapeControlCharacters(text + error)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            std::abort();
        }
    }
    return 0;
}
