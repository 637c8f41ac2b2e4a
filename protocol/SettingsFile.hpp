#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/SaveResult.hpp"
#include "protocol/SettingsDecoder.hpp"
#include "protocol/SettingsSections.hpp"

namespace quillon::protocol {

// QXCfg.dat, kept in the program's directory: the seven sections byte for byte, each with its
// BlockChecksum in front, in SettingsSection order.
inline constexpr std::string_view SETTINGS_FILE_NAME = "QXCfg.dat";
inline constexpr std::size_t SETTINGS_FILE_SIZE = 1672;

static_assert(2 * CanPara::SIZE + SysPara::SIZE + 2 * HardFilterPara::SIZE + BridgePara::SIZE +
                  ReplayPara::SIZE ==
              SETTINGS_FILE_SIZE);

// Reads the sections in file order straight over `sections`. Bytes the file does not have
// (a short file) leave the section's bytes as they were, and its checksum then decides.
// Returns which sections passed their checksum, indexed by Index(SettingsSection); all false,
// with `sections` untouched, when the file cannot be opened or is no regular file (a directory,
// a FIFO or a device is never read). Reads at most SETTINGS_FILE_SIZE bytes. Applies no fallback.
SettingsChecks ReadSettingsFile(const std::filesystem::path& file, SettingsSections& sections);

// Empty when `file` holds a QXCfg.dat whose seven sections all pass their checksum; otherwise
// why not, naming the file and the sections by key: "cannot open cfg/QXCfg.dat: No such file or
// directory", "cfg/QXCfg.dat has 100 bytes, expected 1672",
// "cfg/QXCfg.dat: checksum of can1, replay wrong".
std::string SettingsFileProblem(const std::filesystem::path& file);

// What the program does with failed sections: each starts from its starting values, as on a
// machine without the file. A CAN channel returns to CanPara::Defaults(), the system section to
// SysPara::Defaults(); the others start all zero (no filters, no bridge rules or flags, an empty
// replay list).
void ApplySettingsFallbacks(SettingsSections& sections, const SettingsChecks& ok);

// The factory record: what the window holds, shows and sends with no settings file (every
// section at its starting values, the channels' timing registers from BTR_TABLE). A device that
// was never written holds the same.
SettingsSections FactorySettings();

// The window's load: ReadSettingsFile over `sections`, then ApplySettingsFallbacks. Returns the
// sections the file held whose check failed and that now hold their starting values, in file
// order. A file that is missing or cannot be read resets every section and returns nothing: a
// first start replaces nothing the user had.
std::vector<SettingsSection> LoadSettingsFile(const std::filesystem::path& file,
                                              SettingsSections& sections);

// One line for a person, naming the section by key and label:
// "cfg/QXCfg.dat: the replay section (数据回放设置) fails its checksum; loading the file gives
// it its starting values".
std::string SectionResetWarning(const std::filesystem::path& file, SettingsSection section);

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
