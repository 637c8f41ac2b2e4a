#include "dtu/DtuSettingsFile.hpp"

#include <algorithm>

#include "platform/system/InputFile.hpp"
#include "protocol/BlockChecksum.hpp"
#include "protocol/SaveFile.hpp"

namespace quillon::dtu {

bool ReadChecksummedRecord(const std::filesystem::path& file, std::span<std::uint8_t> record) {
    const sys::InputFileBytes read = sys::ReadInputFile(file, record.size());
    if (!read.ok) {
        return false;
    }
    std::copy(read.bytes.begin(), read.bytes.end(), record.begin());
    return protocol::SectionChecksumMatches(record);
}

protocol::SaveResult SaveChecksummedRecord(const std::filesystem::path& file,
                                           std::span<std::uint8_t> record) {
    record[0] = protocol::BlockChecksum(record.subspan(1));
    return protocol::SaveFile(file, record);
}

}  // namespace quillon::dtu
