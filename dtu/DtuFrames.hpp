// The DTU parameter frames: both DTU records as a run of CAN data frames with
// standard identifiers 0x10..0x2D and the closing frame 0x3F.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "dtu/DtuAdvPara.hpp"
#include "dtu/DtuBasicPara.hpp"
#include "platform/kelvix/Kelvix.h"
#include "protocol/FrameCatalogue.hpp"

namespace quillon::dtu {

/// Most frames one write may assemble.
inline constexpr std::size_t DTU_FRAME_CAPACITY = 200;
/// Identifier of the closing frame.
inline constexpr std::uint32_t DTU_END_FRAME_ID = protocol::ID_DTU_LAST;

/// Frames of both records in sending order (data not yet enciphered), or the
/// reason none may be sent: `message` holds the text to show, or is empty for
/// a refusal without a message (a phone length above 15, too many frames).
struct DtuFrameBuild {
    std::vector<CanFrameRecord> frames;
    bool ok = false;
    std::string message;
};

DtuFrameBuild BuildDtuFrames(const DtuBasicPara& basic, const DtuAdvPara& advanced);

}  // namespace quillon::dtu
