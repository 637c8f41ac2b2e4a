#include "protocol/SettingsFile.hpp"

#include <algorithm>

#include "platform/byteorder/ByteOrder.hpp"
#include "platform/system/InputFile.hpp"
#include "protocol/BlockChecksum.hpp"
#include "protocol/SaveFile.hpp"

namespace quillon::protocol {

using byteorder::PutBytes;

namespace {

// Lays the file's bytes from `offset` over the record's current bytes, so a short file keeps
// the tail it did not reach.
template <class Record>
bool ReadSection(std::span<const std::uint8_t> file, std::size_t offset, Record& record) {
    auto bytes = record.ToBytes();
    const std::size_t available = file.size() > offset ? file.size() - offset : 0;
    std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(std::min(offset, file.size())),
                std::min(available, bytes.size()), bytes.begin());
    record = Record::FromBytes(bytes);
    return SectionChecksumMatches(bytes);
}

SettingsChecks OverlaySections(std::span<const std::uint8_t> file, SettingsSections& sections) {
    SettingsChecks ok{};
    std::size_t offset = 0;
    ForEachSection(sections, [&](SettingsSection section, auto& record) {
        ok[Index(section)] = ReadSection(file, offset, record);
        offset += record.SIZE;
    });
    return ok;
}

}  // namespace

SettingsChecks ReadSettingsFile(const std::filesystem::path& file, SettingsSections& sections) {
    const sys::InputFileBytes read = sys::ReadInputFile(file, SETTINGS_FILE_SIZE);
    if (!read.ok) {
        return SettingsChecks{};
    }
    return OverlaySections(read.bytes, sections);
}

std::string SettingsFileProblem(const std::filesystem::path& file) {
    static constexpr const char* NAMES[SETTINGS_SECTION_COUNT] = {
        "CAN1", "CAN2", "system", "filters 1", "filters 2", "bridge", "replay"};
    const sys::InputFileBytes read = sys::ReadInputFile(file, SETTINGS_FILE_SIZE);
    if (!read.ok) {
        return read.error;
    }
    if (read.bytes.size() < SETTINGS_FILE_SIZE) {
        return file.string() + " has " + std::to_string(read.bytes.size()) + " bytes, expected " +
               std::to_string(SETTINGS_FILE_SIZE);
    }
    SettingsSections sections{};
    const SettingsChecks ok = OverlaySections(read.bytes, sections);
    std::string wrong;
    for (std::size_t i = 0; i < SETTINGS_SECTION_COUNT; ++i) {
        if (!ok[i]) {
            wrong += (wrong.empty() ? "" : ", ") + std::string(NAMES[i]);
        }
    }
    return wrong.empty() ? std::string() : file.string() + ": checksum of " + wrong + " wrong";
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
    return SaveFile(file, image);
}

}  // namespace quillon::protocol
