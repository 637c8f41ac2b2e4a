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
    // No failed section is kept as read, not even in part: the next save would
    // give the corrupt bytes a fresh checksum and the write would send them (a
    // corrupt bridgeFlags can make the device forward a whole channel). Each
    // starts over, as on a machine without the file.
    if (!ok[Index(SettingsSection::System)]) {
        sections.sys = SysPara::Defaults();
    }
    if (!ok[Index(SettingsSection::Filters1)]) {
        sections.filters1 = HardFilterPara{};
    }
    if (!ok[Index(SettingsSection::Filters2)]) {
        sections.filters2 = HardFilterPara{};
    }
    if (!ok[Index(SettingsSection::Bridge)]) {
        sections.bridge = BridgePara{};
    }
    if (!ok[Index(SettingsSection::Replay)]) {
        sections.replay = ReplayPara{};
    }
}

SettingsSections FactorySettings() {
    SettingsSections sections;
    ApplySettingsFallbacks(sections, SettingsChecks{});
    ApplyBaudTable(sections.can1);
    ApplyBaudTable(sections.can2);
    return sections;
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
