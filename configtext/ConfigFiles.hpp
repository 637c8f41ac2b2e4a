// The three settings files of a directory as one ConfigRecords: QXCfg.dat,
// QXCfgDTU.dat and QXCfgDTUHL.dat, read whole and checked, saved whole.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "configtext/ConfigRecords.hpp"

namespace quillon::configtext {

/// The records of `directory`'s three files as stored. Nothing, with `why`
/// naming the file and what is wrong with it ("cfg/QXCfg.dat: checksum of
/// replay wrong", "cfg/QXCfgDTU.dat has 12 bytes, expected 260"), when a file
/// is missing, of the wrong size or fails a checksum: a damaged section is
/// never taken for its starting values.
std::optional<ConfigRecords> ReadConfigDirectory(const std::filesystem::path& directory,
                                                 std::string& why);

/// Saves the three files the way the program saves them (whole, flushed,
/// renamed over the old one), each with its checksums. Checks first that all
/// three can be replaced, so that a refusal leaves every file as it was.
/// Empty on success, else why, naming the file.
std::string SaveConfigDirectory(const std::filesystem::path& directory,
                                const ConfigRecords& records);

}  // namespace quillon::configtext
