// Any frame a device may send, decoded into the sections: no write may land
// outside a table, whatever identifier or count arrives.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "protocol/ParameterFrames.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillon::protocol;
    CanPara channel{};
    HardFilterPara filters{};
    BridgePara bridge{};
    ReplayPara replay{};
    while (size >= 13) {
        CanFrameRecord frame{};
        std::uint32_t id = 0;
        std::memcpy(&id, data, sizeof(id));
        frame.ID = id % 0x400;
        frame.ExternFlag = 1;
        frame.DataLen = data[4];
        std::memcpy(frame.Data, data + 5, 8);
        DecodeParameterFrame(frame, {channel, filters, bridge, replay});
        data += 13;
        size -= 13;
    }
    (void)BuildHardFilterBlock(filters);
    (void)BuildChannelBlock(channel, 0);
    return 0;
}
