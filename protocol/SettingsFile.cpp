#include "protocol/SettingsFile.hpp"

#include <fstream>

#include "protocol/BlockChecksum.hpp"
#include "protocol/ByteOrder.hpp"
#include "protocol/ReplaceFile.hpp"

namespace quillon::protocol {

namespace {

// Reads up to one section's worth over the record's current bytes, so a short read keeps
// the tail it did not reach.
template <class Record>
bool ReadSection(std::istream& in, Record& record) {
    auto bytes = record.ToBytes();
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    record = Record::FromBytes(bytes);
    return SectionChecksumMatches(bytes);
}

}  // namespace

SettingsChecks ReadSettingsFile(const std::filesystem::path& file, SettingsSections& sections) {
    SettingsChecks ok{};
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open()) {
        return ok;
    }
    ForEachSection(sections, [&](SettingsSection section, auto& record) {
        ok[Index(section)] = ReadSection(in, record);
    });
    return ok;
}

void UpdateChecksums(SettingsSections& sections) {
    ForEachSection(sections, [](SettingsSection, auto& record) {
        const auto bytes = record.ToBytes();
        record.checksum = BlockChecksum(std::span<const std::uint8_t>(bytes).subspan(1));
    });
}

std::array<std::uint8_t, SETTINGS_FILE_SIZE> EncodeSettings(const SettingsSections& sections) {
    std::array<std::uint8_t, SETTINGS_FILE_SIZE> image{};
    std::size_t offset = 0;
    ForEachSection(sections, [&](SettingsSection, const auto& record) {
        const auto bytes = record.ToBytes();
        PutBytes(image, offset, bytes);
        offset += bytes.size();
    });
    return image;
}

SaveResult WriteSettingsFile(const std::filesystem::path& file, SettingsSections& sections) {
    UpdateChecksums(sections);
    const auto image = EncodeSettings(sections);
    return ReplaceFile(file, image);
}

}  // namespace quillon::protocol
