#include "protocol/DebugFrames.hpp"

#include <algorithm>
#include <cassert>

#include "protocol/FrameCatalogue.hpp"
#include "protocol/ParameterFrames.hpp"

namespace quillon::protocol {

CanFrameRecord BuildDebugFrame(std::uint32_t level, std::span<const std::uint8_t> bytes) {
    assert(level <= ID_DEBUG_LAST - ID_DEBUG_FIRST && bytes.size() <= DEBUG_FRAME_BYTES);
    CanFrameRecord frame =
        MakeConfigFrame(ID_DEBUG_FIRST + level, false, static_cast<std::uint8_t>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), frame.Data);
    return frame;
}

bool IsDebugFrame(const CanFrameRecord& frame) {
    return frame.ExternFlag == 0 && frame.ID >= ID_DEBUG_FIRST && frame.ID <= ID_DEBUG_LAST;
}

std::uint32_t DebugLevel(const CanFrameRecord& frame) {
    return frame.ID - ID_DEBUG_FIRST;
}

std::span<const std::uint8_t> DebugBytes(const CanFrameRecord& frame) {
    return {frame.Data, std::min<std::size_t>(frame.DataLen, DEBUG_FRAME_BYTES)};
}

}  // namespace quillon::protocol
