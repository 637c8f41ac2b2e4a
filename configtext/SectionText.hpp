// Each record section as the configuration text names its fields: the fields a
// page edits, by name, with what the page derives left out. `...ToText` writes
// them; `...FromText` reads them over a record (absent fields keep its value),
// reporting each problem with its path. Bytes the names do not express are the
// document's business (ConfigText), not a section's.
#pragma once

#include "configtext/ValueReader.hpp"
#include "platform/system/CodePage.hpp"
#include "protocol/DtuAdvPara.hpp"
#include "protocol/DtuBasicPara.hpp"
#include "protocol/SettingsSections.hpp"

namespace quillon::configtext {

Json ChannelToText(const protocol::CanPara& channel);
void ChannelFromText(ObjectReader& text, protocol::CanPara& channel);

Json SystemToText(const protocol::SysPara& sys);
void SystemFromText(ObjectReader& text, protocol::SysPara& sys);

Json FiltersToText(const protocol::HardFilterPara& filters);
void FiltersFromText(ObjectReader& text, protocol::HardFilterPara& filters);

Json BridgeToText(const protocol::BridgePara& bridge);
void BridgeFromText(ObjectReader& text, protocol::BridgePara& bridge);

Json ReplayToText(const protocol::ReplayPara& replay, const sys::CodePage& ansi);
void ReplayFromText(ObjectReader& text, protocol::ReplayPara& replay, const sys::CodePage& ansi);

Json DtuBasicToText(const protocol::DtuBasicPara& basic);
void DtuBasicFromText(ObjectReader& text, protocol::DtuBasicPara& basic);

Json DtuAdvToText(const protocol::DtuAdvPara& adv);
void DtuAdvFromText(ObjectReader& text, protocol::DtuAdvPara& adv);

}  // namespace quillon::configtext
