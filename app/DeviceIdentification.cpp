// Learning which device is on the bus without touching the record: a write
// of more than ten recording rules per channel needs the firmware version
// first, since older firmware is told of at most ten.
#include <string>

#include "app/CQuillonDlg.hpp"
#include "protocol/DebugFrames.hpp"
#include "protocol/IdentityFrames.hpp"
#include "protocol/ParameterFrames.hpp"

namespace quillon::app {
namespace {

constexpr std::uint32_t REFERENCE_SINGLE_FRAME = 3;

std::string RuleCountCut(int channel, std::uint8_t held, std::uint8_t told,
                         std::uint32_t firmwareVersion) {
    const std::string why = firmwareVersion == 0
                                ? "未读取到设备固件版本，按旧固件处理"
                                : "设备固件版本 Ver_" + std::to_string(firmwareVersion) +
                                      " 只接受 " + std::to_string(told) + " 条";
    return "CAN" + std::to_string(channel + 1) + " 有 " + std::to_string(held) +
           " 条记录规则，只告知设备 " + std::to_string(told) + " 条（" + why + "）";
}

}  // namespace

bool CQuillonDlg::IsIdentificationReply(const CanFrameRecord& frame) {
    return frame.ExternFlag == 0 &&
           (frame.ID == protocol::ID_SERIAL_LOW || frame.ID == protocol::ID_SERIAL_HIGH ||
            frame.ID == protocol::ID_VERSIONS || protocol::IsDebugFrame(frame));
}

bool CQuillonDlg::IdentifyDevice() {
    if (!link_.IsRunning()) {
        return false;
    }
    identifying_ = true;
    CanFrameRecord request = protocol::BuildReadRequest();
    link_.SetReference(REFERENCE_SINGLE_FRAME);
    return link_.Send({&request, 1});
}

void CQuillonDlg::EndIdentification() {
    identifying_ = false;
}

std::vector<std::string> CQuillonDlg::RuleCountCuts() const {
    std::vector<std::string> cuts;
    const std::array<const protocol::CanPara*, 2> channels = {&record_.can1, &record_.can2};
    for (int c = 0; c < 2; ++c) {
        const std::uint8_t held = channels[c]->filterCount;
        const std::uint8_t told = protocol::AnnouncedFilterCount(held, identity_.firmwareVersion);
        if (told < held) {
            cuts.push_back(RuleCountCut(c, held, told, identity_.firmwareVersion));
        }
    }
    return cuts;
}

}  // namespace quillon::app
