#include "protocol/FirmwareFrames.hpp"

#include <algorithm>
#include <cassert>

#include "protocol/FrameCatalogue.hpp"

namespace quillon::protocol {
namespace {

CanFrameRecord ExtendedRemote(std::uint32_t id) {
    CanFrameRecord frame{};
    frame.ID = id;
    frame.RemoteFlag = 1;
    frame.ExternFlag = 1;
    return frame;
}

bool IsExtendedRemote(const CanFrameRecord& frame, std::uint32_t id) {
    return frame.ExternFlag == 1 && frame.RemoteFlag == 1 && frame.ID == id;
}

}  // namespace

CanFrameRecord BuildEraseCommand() {
    return ExtendedRemote(ID_ERASE_COMMAND);
}

CanFrameRecord BuildProgramCommand() {
    return ExtendedRemote(ID_PROGRAM_COMMAND);
}

CanFrameRecord BuildImageDataFrame(std::span<const std::uint8_t> bytes) {
    assert(bytes.size() <= IMAGE_DATA_MAX_BYTES);
    CanFrameRecord frame{};
    frame.ID = ID_IMAGE_DATA;
    frame.DataLen = static_cast<std::uint8_t>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), frame.Data);
    return frame;
}

bool IsEraseCommand(const CanFrameRecord& frame) {
    return IsExtendedRemote(frame, ID_ERASE_COMMAND);
}

bool IsProgramCommand(const CanFrameRecord& frame) {
    return IsExtendedRemote(frame, ID_PROGRAM_COMMAND);
}

bool IsImageDataFrame(const CanFrameRecord& frame) {
    return frame.ExternFlag == 0 && frame.RemoteFlag == 0 && frame.ID == ID_IMAGE_DATA;
}

}  // namespace quillon::protocol
