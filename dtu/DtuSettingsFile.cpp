#include "dtu/DtuSettingsFile.hpp"

#include <fstream>

#include "protocol/BlockChecksum.hpp"
#include "protocol/ReplaceFile.hpp"

namespace quillon::dtu {

bool ReadChecksummedRecord(const std::filesystem::path& file, std::span<std::uint8_t> record) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return false;
    }
    in.read(reinterpret_cast<char*>(record.data()), static_cast<std::streamsize>(record.size()));
    return protocol::SectionChecksumMatches(record);
}

protocol::SaveResult SaveChecksummedRecord(const std::filesystem::path& file,
                                           std::span<std::uint8_t> record) {
    record[0] = protocol::BlockChecksum(record.subspan(1));
    return protocol::ReplaceFile(file, record);
}

}  // namespace quillon::dtu
