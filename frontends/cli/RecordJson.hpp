// The parameter record as JSON: every field under its record name, numbers as
// integers, arrays at their full capacity, the replay file name as text.
#pragma once

#include <nlohmann/json.hpp>

#include "protocol/DeviceIdentity.hpp"
#include "protocol/SettingsSections.hpp"

namespace quillon::cli {

nlohmann::ordered_json ToJson(const protocol::CanPara& channel);
nlohmann::ordered_json ToJson(const protocol::SysPara& sys);
nlohmann::ordered_json ToJson(const protocol::HardFilterPara& filters);
nlohmann::ordered_json ToJson(const protocol::BridgePara& bridge);
nlohmann::ordered_json ToJson(const protocol::ReplayPara& replay);
nlohmann::ordered_json ToJson(const protocol::DeviceIdentity& identity);

/// All seven sections under the keys can1, can2, sys, filters1, filters2, bridge, replay.
nlohmann::ordered_json SectionsToJson(const protocol::SettingsSections& sections);

}  // namespace quillon::cli
