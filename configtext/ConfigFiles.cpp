#include "configtext/ConfigFiles.hpp"

#include "dtu/DtuSettingsFile.hpp"
#include "platform/system/InputFile.hpp"
#include "platform/system/ReplaceFile.hpp"
#include "platform/system/Utf8Path.hpp"
#include "protocol/BlockChecksum.hpp"
#include "protocol/SaveFile.hpp"
#include "protocol/SettingsFile.hpp"

namespace quillon::configtext {
namespace {

template <class Record>
std::optional<Record> ReadRecordFile(const std::filesystem::path& file, std::string& why) {
    const sys::InputFileBytes read = sys::ReadInputFile(file, Record::SIZE);
    const std::string name = sys::PathToUtf8(file);
    if (!read.ok) {
        why = read.error;
        return std::nullopt;
    }
    if (read.bytes.size() != Record::SIZE || read.longer) {
        why = name + " has " + (read.longer ? "more than " : "") +
              std::to_string(read.bytes.size()) + " bytes, expected " +
              std::to_string(Record::SIZE);
        return std::nullopt;
    }
    if (!protocol::SectionChecksumMatches(read.bytes)) {
        why = name + ": checksum wrong";
        return std::nullopt;
    }
    return Record::FromBytes(
        std::span<const std::uint8_t, Record::SIZE>(read.bytes.data(), Record::SIZE));
}

}  // namespace

std::optional<ConfigRecords> ReadConfigDirectory(const std::filesystem::path& directory,
                                                 std::string& why) {
    const auto settings = directory / std::string(protocol::SETTINGS_FILE_NAME);
    why = protocol::SettingsFileProblem(settings);
    if (!why.empty()) {
        return std::nullopt;
    }
    ConfigRecords records;
    const protocol::SettingsChecks checks = protocol::ReadSettingsFile(settings, records.sections);
    if (!protocol::FailedSections(checks).empty()) {
        why = sys::PathToUtf8(settings) + " changed while it was read";
        return std::nullopt;
    }
    const auto basic =
        ReadRecordFile<protocol::DtuBasicPara>(directory / dtu::DTU_BASIC_FILE_NAME, why);
    if (!basic) {
        return std::nullopt;
    }
    const auto adv = ReadRecordFile<protocol::DtuAdvPara>(directory / dtu::DTU_ADV_FILE_NAME, why);
    if (!adv) {
        return std::nullopt;
    }
    records.dtuBasic = *basic;
    records.dtuAdv = *adv;
    return records;
}

std::string SaveConfigDirectory(const std::filesystem::path& directory,
                                const ConfigRecords& records) {
    const auto settings = directory / std::string(protocol::SETTINGS_FILE_NAME);
    const auto basic = directory / dtu::DTU_BASIC_FILE_NAME;
    const auto adv = directory / dtu::DTU_ADV_FILE_NAME;
    for (const auto& file : {settings, basic, adv}) {
        if (std::string problem = sys::ReplaceFileProblem(file); !problem.empty()) {
            return problem;
        }
    }
    protocol::SettingsSections sections = records.sections;
    if (auto saved = protocol::WriteSettingsFile(settings, sections); !saved) {
        return saved.message;
    }
    auto basicBytes = records.dtuBasic.ToBytes();
    if (auto saved = dtu::SaveChecksummedRecord(basic, basicBytes); !saved) {
        return saved.message;
    }
    auto advBytes = records.dtuAdv.ToBytes();
    if (auto saved = dtu::SaveChecksummedRecord(adv, advBytes); !saved) {
        return saved.message;
    }
    return {};
}

}  // namespace quillon::configtext
