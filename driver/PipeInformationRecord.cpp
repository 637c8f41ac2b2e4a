#include "driver/BrindleIoctl.hpp"
#include "platform/byteorder/ByteOrder.hpp"

namespace brindle {

using quillon::byteorder::PutU32LE;

PipeInformationRecord EncodePipeInformation(const kmdf::WDF_USB_PIPE_INFORMATION& info) {
    PipeInformationRecord out{};
    PutU32LE(out, 0, PIPE_INFORMATION_RECORD_SIZE);
    PutU32LE(out, 4, info.MaximumPacketSize);
    out[8] = info.EndpointAddress;
    out[9] = info.Interval;
    out[10] = info.SettingIndex;
    out[11] = 0;
    PutU32LE(out, 12, static_cast<std::uint32_t>(info.PipeType));
    PutU32LE(out, 16, info.MaximumTransferSize);
    return out;
}

}  // namespace brindle
