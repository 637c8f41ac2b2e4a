#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "protocol/BridgePara.hpp"
#include "protocol/CanPara.hpp"
#include "protocol/HardFilterPara.hpp"
#include "protocol/ReplayPara.hpp"
#include "protocol/SysPara.hpp"

namespace quillon::protocol {

// The seven sections of the device parameter record, in settings-file order.
enum class SettingsSection { Can1, Can2, System, Filters1, Filters2, Bridge, Replay };

inline constexpr std::size_t SETTINGS_SECTION_COUNT = 7;

constexpr std::size_t Index(SettingsSection section) {
    return static_cast<std::size_t>(section);
}

struct SettingsSectionName {
    std::string_view key;    ///< what programs print: JSON keys, field paths ("replay.ruleCount")
    std::string_view label;  ///< what a person reads: the caption of the page that edits it
};

// The one table of section names, in SettingsSection order.
inline constexpr std::array<SettingsSectionName, SETTINGS_SECTION_COUNT> SETTINGS_SECTION_NAMES{{
    {"can1", "CAN1基本设置"},
    {"can2", "CAN2基本设置"},
    {"sys", "系统参数设置"},
    {"filters1", "CAN1高级设置"},
    {"filters2", "CAN2高级设置"},
    {"bridge", "网桥规则设置"},
    {"replay", "数据回放设置"},
}};

constexpr std::string_view SectionKey(SettingsSection section) {
    return SETTINGS_SECTION_NAMES[Index(section)].key;
}

constexpr std::string_view SectionLabel(SettingsSection section) {
    return SETTINGS_SECTION_NAMES[Index(section)].label;
}

struct SettingsSections {
    CanPara can1;
    CanPara can2;
    SysPara sys;
    HardFilterPara filters1;
    HardFilterPara filters2;
    BridgePara bridge;
    ReplayPara replay;

    bool operator==(const SettingsSections&) const = default;
};

// Calls visit(SettingsSection, record) for every section in file order; works on const and
// mutable sections alike.
template <class Sections, class Visitor>
void ForEachSection(Sections& sections, Visitor&& visit) {
    visit(SettingsSection::Can1, sections.can1);
    visit(SettingsSection::Can2, sections.can2);
    visit(SettingsSection::System, sections.sys);
    visit(SettingsSection::Filters1, sections.filters1);
    visit(SettingsSection::Filters2, sections.filters2);
    visit(SettingsSection::Bridge, sections.bridge);
    visit(SettingsSection::Replay, sections.replay);
}

}  // namespace quillon::protocol
