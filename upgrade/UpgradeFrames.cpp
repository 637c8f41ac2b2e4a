#include "upgrade/UpgradeFrames.hpp"

#include "protocol/FirmwareFrames.hpp"

namespace quillon::upgrade {

CanFrameRecord MakeEraseCommand() {
    return protocol::BuildEraseCommand();
}

CanFrameRecord MakeProgramCommand() {
    return protocol::BuildProgramCommand();
}

CanFrameRecord MakeImageDataFrame(std::span<const std::uint8_t> bytes) {
    return protocol::BuildImageDataFrame(bytes);
}

bool TransmitUpgradeFrame(const CanFrameRecord& frame) {
    return VCI_Transmit(KELVIX_DEVICE_TYPE, UPGRADE_DEVICE_INDEX, UPGRADE_CHANNEL, &frame, 1) == 1;
}

}  // namespace quillon::upgrade
