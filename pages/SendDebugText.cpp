#include <algorithm>
#include <string>

#include "pages/CDialogDebugMsg.hpp"
#include "protocol/DebugFrames.hpp"

namespace quillon::pages {
namespace {

// Text to the device always travels at level 0.
CanFrameRecord DebugFrame(std::string_view bytes) {
    return protocol::BuildDebugFrame(
        0, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

}  // namespace

std::size_t SendDebugText(std::string_view utf8Text, const sys::CodePage& oem,
                          kelvix::FrameTransmitter& link) {
    if (utf8Text.empty()) {
        return 0;
    }
    std::string bytes = oem.FromUtf8(utf8Text);
    bytes.resize(std::min(bytes.size(), DEBUG_TEXT_MAX));
    const std::string_view text(bytes);
    for (std::size_t at = 0; at < text.size(); at += 8) {
        CanFrameRecord frame = DebugFrame(text.substr(at, 8));
        if (!link.SendEnciphered(std::span<CanFrameRecord>(&frame, 1))) {
            return 0;
        }
    }
    return text.size();
}

}  // namespace quillon::pages
