// Captured traces come from anywhere: any line is parsed or refused, never
// read past its end.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "frontends/cli/TraceDecoder.hpp"
#include "protocol/FirmwareKey.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    if (const auto traced = kelvix::ParseTraceLine(line)) {
        const quillon::protocol::Cpc1crypt cipher(quillon::protocol::FIRMWARE_KEY);
        (void)quillon::cli::DecodedDataHex(*traced, cipher);
        (void)quillon::cli::FrameMeaning(*traced);
    }
    return 0;
}
