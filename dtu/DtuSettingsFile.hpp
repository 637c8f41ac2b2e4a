// The DTU settings files beside the program: one record each, checksum first.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "protocol/SaveResult.hpp"

namespace quillon::dtu {

inline constexpr const char* DTU_BASIC_FILE_NAME = "QXCfgDTU.dat";
inline constexpr const char* DTU_ADV_FILE_NAME = "QXCfgDTUHL.dat";

/// Reads up to record.size() bytes of `file` over `record` (a short file
/// leaves the rest as it was). Returns true when the file opened and the
/// record's first byte matches the BlockChecksum of its other bytes. Anything
/// but a regular file (a directory, a FIFO, a device) is not read at all.
bool ReadChecksummedRecord(const std::filesystem::path& file, std::span<std::uint8_t> record);

/// Stores the BlockChecksum into record[0], then replaces `file` with exactly
/// the record's bytes through a temporary file beside it.
protocol::SaveResult SaveChecksummedRecord(const std::filesystem::path& file,
                                           std::span<std::uint8_t> record);

}  // namespace quillon::dtu
