// The parameter record as JSON: every field under its record name, numbers as
// integers, arrays at their full capacity, the replay file name as text.
#pragma once

#include <nlohmann/json.hpp>

#include "protocol/DeviceIdentity.hpp"
#include "protocol/SettingsSections.hpp"

namespace quillon::cli {

/// A replay file name as stored (up to its first zero byte) in UTF-8, without ".alog".
std::string FileNameText(const std::array<std::uint8_t, 17>& name);

nlohmann::ordered_json ToJson(const protocol::CanPara& channel);
nlohmann::ordered_json ToJson(const protocol::SysPara& sys);
nlohmann::ordered_json ToJson(const protocol::HardFilterPara& filters);
nlohmann::ordered_json ToJson(const protocol::BridgePara& bridge);
nlohmann::ordered_json ToJson(const protocol::ReplayPara& replay);
nlohmann::ordered_json ToJson(const protocol::DeviceIdentity& identity);

/// All seven sections under the keys can1, can2, sys, filters1, filters2, bridge, replay.
nlohmann::ordered_json SectionsToJson(const protocol::SettingsSections& sections);

/// The fields a parameter read brings back, under the same keys: every channel field; of
/// the system section the four values the device reports; of the filter, bridge and
/// replay tables the header and the entries it announces (at most their capacity), the
/// bridge rules without their lead byte (the write always sends 1 there). Values a read
/// cannot return are left out, so comparing a record with a read-back one finds only
/// real differences.
nlohmann::ordered_json ReadableToJson(const protocol::SettingsSections& sections);

}  // namespace quillon::cli
