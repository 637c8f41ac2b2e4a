#include "dtu/WriteDtuParams.hpp"

#include "dtu/DtuTexts.hpp"
#include "protocol/DtuFrames.hpp"

namespace quillon::dtu {
namespace {

// Every third frame from the first is followed by a short pause, so the
// device's receive buffer keeps up.
constexpr std::size_t PAUSE_EVERY = 3;
constexpr std::uint32_t PAUSE_MS = 1;

void Warn(DTUDlg& page, const std::string& text) {
    page.MessageBox(text, CAPTION_WARNING, ui::MB_OK | ui::MB_ICONQUESTION);
}

}  // namespace

bool WriteDtuParams(DTUDlg& basic, DTUHlDlg& advanced, kelvix::FrameTransmitter& link) {
    basic.CollectDtuBasic();
    advanced.CollectDtuAdv();
    basic.SaveDtuBasic();
    advanced.SaveDtuAdv();
    protocol::DtuFrameBuild build = protocol::BuildDtuFrames(basic.Record(), advanced.Record());
    if (!build.ok) {
        if (!build.message.empty()) {
            Warn(basic, build.message);
        }
        return false;
    }
    for (std::size_t i = 0; i < build.frames.size(); ++i) {
        if (!link.SendEnciphered(std::span<CanFrameRecord>(&build.frames[i], 1))) {
            Warn(basic, SEND_FAILED);
            return false;
        }
        if (i % PAUSE_EVERY == 0) {
            link.PauseMs(PAUSE_MS);
        }
    }
    return true;
}

}  // namespace quillon::dtu
