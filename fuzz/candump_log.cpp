// Candump logs, read and written back (see LogRoundTrip.hpp).
#include <cstddef>
#include <cstdint>

#include "fuzz/LogRoundTrip.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillon::fuzz::ReadLogAndRoundTrip(data, size, quillon::canlog::LogFormat::Candump);
    return 0;
}
