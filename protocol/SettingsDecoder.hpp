#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "protocol/SettingsSections.hpp"

namespace quillon::protocol {

/// Whether each section's stored checksum matched its bytes, indexed by Index(SettingsSection).
using SettingsChecks = std::array<bool, SETTINGS_SECTION_COUNT>;

struct DecodedSettings {
    SettingsSections sections;
    SettingsChecks checks{};
};

// The one reading of QXCfg.dat's bytes: the seven sections in file order, each laid byte for byte
// over its record in `start`, and each section's check. Bytes `file` does not have (a short
// file) keep `start`'s, and the section's checksum then decides. Bytes past the last section are
// ignored. Applies no fallback.
DecodedSettings DecodeSettings(std::span<const std::uint8_t> file,
                               const SettingsSections& start = {});

/// The sections whose check failed, in file order.
std::vector<SettingsSection> FailedSections(const SettingsChecks& checks);

}  // namespace quillon::protocol
