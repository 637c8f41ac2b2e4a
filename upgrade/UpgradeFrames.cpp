#include "upgrade/UpgradeFrames.hpp"

#include <algorithm>
#include <cassert>

namespace quillon::upgrade {
namespace {

CanFrameRecord ExtendedRemote(std::uint32_t id) {
    CanFrameRecord frame{};
    frame.ID = id;
    frame.RemoteFlag = 1;
    frame.ExternFlag = 1;
    return frame;
}

}  // namespace

CanFrameRecord MakeEraseCommand() {
    return ExtendedRemote(ERASE_COMMAND_ID);
}

CanFrameRecord MakeProgramCommand() {
    return ExtendedRemote(PROGRAM_COMMAND_ID);
}

CanFrameRecord MakeImageDataFrame(std::span<const std::uint8_t> bytes) {
    assert(bytes.size() <= MAX_FRAME_BYTES);
    CanFrameRecord frame{};
    frame.ID = IMAGE_DATA_ID;
    frame.DataLen = static_cast<std::uint8_t>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), frame.Data);
    return frame;
}

bool TransmitUpgradeFrame(const CanFrameRecord& frame) {
    return VCI_Transmit(UPGRADE_DEVICE_TYPE, UPGRADE_DEVICE_INDEX, UPGRADE_CHANNEL, &frame, 1) == 1;
}

}  // namespace quillon::upgrade
