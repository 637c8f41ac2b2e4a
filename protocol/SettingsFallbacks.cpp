#include "protocol/BtrTable.hpp"
#include "protocol/SettingsFile.hpp"

namespace quillon::protocol {

void ApplySettingsFallbacks(SettingsSections& sections, const SettingsChecks& ok) {
    if (!ok[Index(SettingsSection::Can1)]) {
        sections.can1 = CanPara::Defaults();
    }
    if (!ok[Index(SettingsSection::Can2)]) {
        sections.can2 = CanPara::Defaults();
    }
    if (!ok[Index(SettingsSection::Bridge)]) {
        sections.bridge.ruleCount = 0;
    }
    if (!ok[Index(SettingsSection::Replay)]) {
        sections.replay.sendMode = 0;
        sections.replay.ruleCount = 0;
        sections.replay.repeatAll = 0;
    }
}

bool ApplyBaudTable(CanPara& can) {
    if (can.baudIndex >= BTR_TABLE.size()) {
        return true;
    }
    can.btr0 = BTR_TABLE[can.baudIndex].btr0;
    can.btr1 = BTR_TABLE[can.baudIndex].btr1;
    return false;
}

}  // namespace quillon::protocol
