#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "protocol/SaveResult.hpp"
#include "protocol/SettingsSections.hpp"

namespace quillon::protocol {

// QXCfg.dat, kept in the program's directory: the seven sections byte for byte, each with its
// BlockChecksum in front, in SettingsSection order.
inline constexpr std::string_view SETTINGS_FILE_NAME = "QXCfg.dat";
inline constexpr std::size_t SETTINGS_FILE_SIZE = 1672;

static_assert(2 * CanPara::SIZE + SysPara::SIZE + 2 * HardFilterPara::SIZE + BridgePara::SIZE +
                  ReplayPara::SIZE ==
              SETTINGS_FILE_SIZE);

using SettingsChecks = std::array<bool, SETTINGS_SECTION_COUNT>;

// Reads the sections in file order straight over `sections`. Bytes the file does not have
// (a short file) leave the section's bytes as they were, and its checksum then decides.
// Returns which sections passed their checksum, indexed by Index(SettingsSection); all false,
// with `sections` untouched, when the file cannot be opened or is no regular file (a directory,
// a FIFO or a device is never read). Reads at most SETTINGS_FILE_SIZE bytes. Applies no fallback.
SettingsChecks ReadSettingsFile(const std::filesystem::path& file, SettingsSections& sections);

// Empty when `file` holds a QXCfg.dat whose seven sections all pass their checksum; otherwise
// why not, naming the file: "cannot open cfg/QXCfg.dat: No such file or directory",
// "cfg/QXCfg.dat has 100 bytes, expected 1672", "cfg/QXCfg.dat: checksum of CAN1, replay wrong".
std::string SettingsFileProblem(const std::filesystem::path& file);

// What the program does with failed sections: a CAN channel returns to CanPara::Defaults(),
// the system and acceptance-filter sections start all zero, the bridge loses its rule count,
// the replay list its mode, rule count and repeat count.
void ApplySettingsFallbacks(SettingsSections& sections, const SettingsChecks& ok);

// Sets btr0/btr1 from BTR_TABLE for a fixed rate (baudIndex 0..6) and returns false; for a
// user-defined rate leaves them as stored and returns true (the page then enables its BTR edits).
bool ApplyBaudTable(CanPara& can);

// Stores each section's BlockChecksum into its `checksum` field.
void UpdateChecksums(SettingsSections& sections);

// The file image of the sections with their checksums as they stand.
std::array<std::uint8_t, SETTINGS_FILE_SIZE> EncodeSettings(const SettingsSections& sections);

// Updates the checksums (kept in `sections`) and replaces `file` with exactly
// SETTINGS_FILE_SIZE bytes, leaving the previous file whole if the save fails.
SaveResult WriteSettingsFile(const std::filesystem::path& file, SettingsSections& sections);

}  // namespace quillon::protocol
