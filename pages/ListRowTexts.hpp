// The texts of a list row on the parameter pages, after the "序号" column:
// one text per column, as the page shows it. quillon-cli show prints the same.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "protocol/BridgeRule.hpp"
#include "protocol/CanFilter.hpp"
#include "protocol/ReplayRule.hpp"

namespace quillon::pages {

/// A recording rule of the CAN basic page: frame type, frame format, first and
/// last identifier (hexadecimal), interval, trigger.
std::vector<std::string> RecordingRuleColumns(const protocol::CanFilter& filter);
/// An acceptance filter of the CAN advanced page: frame format, bit pattern.
std::vector<std::string> AcceptanceFilterColumns(std::uint8_t format, std::uint32_t value,
                                                 std::uint32_t mask);
/// A bridge rule: direction, trigger, formula, source, what is forwarded.
std::vector<std::string> BridgeRuleColumns(const protocol::BridgeRule& rule);
/// A replay entry: the file (`fileName`, the stored name as text), times,
/// interval, channels.
std::vector<std::string> ReplayRuleColumns(const protocol::ReplayRule& rule,
                                           const std::string& fileName);

}  // namespace quillon::pages
