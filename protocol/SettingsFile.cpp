#include "protocol/SettingsFile.hpp"

#include "platform/byteorder/ByteOrder.hpp"
#include "platform/system/InputFile.hpp"
#include "platform/system/Utf8Path.hpp"
#include "protocol/BlockChecksum.hpp"
#include "protocol/SaveFile.hpp"

namespace quillon::protocol {

using byteorder::PutBytes;

SettingsChecks ReadSettingsFile(const std::filesystem::path& file, SettingsSections& sections) {
    const sys::InputFileBytes read = sys::ReadInputFile(file, SETTINGS_FILE_SIZE);
    if (!read.ok) {
        return SettingsChecks{};
    }
    DecodedSettings decoded = DecodeSettings(read.bytes, sections);
    sections = decoded.sections;
    return decoded.checks;
}

std::vector<SettingsSection> LoadSettingsFile(const std::filesystem::path& file,
                                              SettingsSections& sections) {
    const sys::InputFileBytes read = sys::ReadInputFile(file, SETTINGS_FILE_SIZE);
    if (!read.ok) {
        ApplySettingsFallbacks(sections, SettingsChecks{});
        return {};
    }
    const DecodedSettings decoded = DecodeSettings(read.bytes, sections);
    sections = decoded.sections;
    ApplySettingsFallbacks(sections, decoded.checks);
    return FailedSections(decoded.checks);
}

std::string SettingsFileProblem(const std::filesystem::path& file) {
    const sys::InputFileBytes read = sys::ReadInputFile(file, SETTINGS_FILE_SIZE);
    if (!read.ok) {
        return read.error;
    }
    if (read.bytes.size() < SETTINGS_FILE_SIZE) {
        return file.string() + " has " + std::to_string(read.bytes.size()) + " bytes, expected " +
               std::to_string(SETTINGS_FILE_SIZE);
    }
    std::string wrong;
    for (const SettingsSection section : FailedSections(DecodeSettings(read.bytes).checks)) {
        wrong += (wrong.empty() ? "" : ", ") + std::string(SectionKey(section));
    }
    return wrong.empty() ? std::string() : file.string() + ": checksum of " + wrong + " wrong";
}

std::string SectionResetWarning(const std::filesystem::path& file, SettingsSection section) {
    return sys::PathToUtf8(file) + ": the " + std::string(SectionKey(section)) + " section (" +
           std::string(SectionLabel(section)) +
           ") fails its checksum; loading the file gives it its starting values";
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
