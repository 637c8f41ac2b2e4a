#include "driver/BrindleIoctl.hpp"

namespace brindle {

namespace {

void PutU32(PipeInformationRecord& out, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        out[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace

PipeInformationRecord EncodePipeInformation(const kmdf::WDF_USB_PIPE_INFORMATION& info) {
    PipeInformationRecord out{};
    PutU32(out, 0, PIPE_INFORMATION_RECORD_SIZE);
    PutU32(out, 4, info.MaximumPacketSize);
    out[8] = info.EndpointAddress;
    out[9] = info.Interval;
    out[10] = info.SettingIndex;
    out[11] = 0;
    PutU32(out, 12, static_cast<std::uint32_t>(info.PipeType));
    PutU32(out, 16, info.MaximumTransferSize);
    return out;
}

}  // namespace brindle
