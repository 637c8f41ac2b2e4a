// quillon-cli show: a settings file decoded as it lies on disk, checksums
// reported rather than repaired. The DTU files print flat:
//   {"checksumOk": true, "checksum": 90, "serverAddr": "dtu.example", ...,
//    "heartbeat": "313233", ..., "smsPhones": [{"length": 11, "digits": "13800138000"}, ...]}
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iomanip>
#include <optional>
#include <vector>

#include "dtu/CharacterBytes.hpp"
#include "dtu/DtuSettingsFile.hpp"
#include "frontends/cli/Commands.hpp"
#include "frontends/cli/RecordJson.hpp"
#include "pages/HexIdentifier.hpp"
#include "pages/ListRowTexts.hpp"
#include "platform/system/InputFile.hpp"
#include "platform/system/Utf8Path.hpp"
#include "protocol/BlockChecksum.hpp"
#include "protocol/DtuAdvPara.hpp"
#include "protocol/DtuBasicPara.hpp"
#include "protocol/SettingsFile.hpp"

namespace quillon::cli {
namespace {

using nlohmann::ordered_json;

// The entries in use of a table: as many as its count says, at most what it holds (a
// damaged count is shown as stored but cannot reach past the table).
std::size_t InUse(std::size_t count, std::size_t capacity) {
    return std::min(count, capacity);
}

// One list row as the page shows it: "序号" from 0, then the page's columns.
void PrintRow(std::size_t row, const std::vector<std::string>& columns, std::ostream& out) {
    out << "    " << row;
    for (const std::string& column : columns) {
        out << " | " << column;
    }
    out << '\n';
}

void PrintChannel(std::string_view name, const protocol::CanPara& channel, std::ostream& out) {
    out << "  " << name << ": enable=" << int(channel.enable)
        << " baudIndex=" << int(channel.baudIndex) << " btr0=0x"
        << pages::FormatHexLower(channel.btr0) << " btr1=0x" << pages::FormatHexLower(channel.btr1)
        << " workMode=" << int(channel.workMode) << " acceptAll=" << int(channel.acceptAll)
        << " recording rules=" << int(channel.filterCount) << '\n';
    for (std::size_t i = 0; i < InUse(channel.filterCount, channel.filters.size()); ++i) {
        PrintRow(i, pages::RecordingRuleColumns(channel.filters[i]), out);
    }
}

void PrintFilters(std::string_view name, const protocol::HardFilterPara& filters,
                  std::ostream& out) {
    out << "  " << name << " acceptance filters: enable=" << int(filters.enable)
        << " count=" << int(filters.filterCount) << '\n';
    for (std::size_t i = 0; i < InUse(filters.filterCount, filters.frameFormat.size()); ++i) {
        PrintRow(i,
                 pages::AcceptanceFilterColumns(filters.frameFormat[i], filters.matchValue[i],
                                                filters.matchMask[i]),
                 out);
    }
}

void PrintTable(const protocol::DecodedSettings& decoded, std::ostream& out) {
    const auto& s = decoded.sections;
    for (std::size_t i = 0; i < protocol::SETTINGS_SECTION_COUNT; ++i) {
        out << protocol::SETTINGS_SECTION_NAMES[i].label << ": checksum "
            << (decoded.checks[i] ? "ok" : "BAD") << '\n';
    }
    PrintChannel("CAN1", s.can1, out);
    PrintChannel("CAN2", s.can2, out);
    out << "  sys: fileSizeMB=" << s.sys.fileSizeMB
        << " cyclicOverwrite=" << int(s.sys.cyclicOverwrite)
        << " firstFrameTimeZero=" << int(s.sys.firstFrameTimeZero)
        << " errorProofing=" << int(s.sys.errorProofing) << '\n';
    PrintFilters("CAN1", s.filters1, out);
    PrintFilters("CAN2", s.filters2, out);
    out << "  bridge rules: " << int(s.bridge.ruleCount) << '\n';
    for (std::size_t i = 0; i < InUse(s.bridge.ruleCount, s.bridge.rules.size()); ++i) {
        PrintRow(i, pages::BridgeRuleColumns(s.bridge.rules[i]), out);
    }
    out << "  replay files: " << int(s.replay.ruleCount) << '\n';
    for (std::size_t i = 0; i < InUse(s.replay.ruleCount, s.replay.rules.size()); ++i) {
        const auto& rule = s.replay.rules[i];
        PrintRow(i, pages::ReplayRuleColumns(rule, FileNameText(rule.fileName)), out);
    }
}

// The file's bytes; nothing, with `why` set, when it cannot be read. No
// settings file is longer than QXCfg.dat; one byte more is enough to tell a
// longer file, and /dev/zero or a FIFO is refused before reading.
std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& file, std::string& why) {
    sys::InputFileBytes read =
        sys::ReadInputFile(sys::PathFromUtf8(file), protocol::SETTINGS_FILE_SIZE);
    if (!read.ok) {
        why = read.error;
        return std::nullopt;
    }
    return std::move(read.bytes);
}

enum class FileKind { Settings, DtuBasic, DtuAdvanced };

struct KnownFile {
    FileKind kind;
    std::string_view name;
    std::size_t size;
};

constexpr KnownFile KNOWN_FILES[] = {
    {FileKind::Settings, protocol::SETTINGS_FILE_NAME, protocol::SETTINGS_FILE_SIZE},
    {FileKind::DtuBasic, dtu::DTU_BASIC_FILE_NAME, protocol::DtuBasicPara::SIZE},
    {FileKind::DtuAdvanced, dtu::DTU_ADV_FILE_NAME, protocol::DtuAdvPara::SIZE},
};

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// A file named like one of ours must have at least its size (the files are
// written without truncation, so a longer one is read as far as the record
// goes); any other name is recognised by size. Empty with `why` set otherwise.
std::optional<FileKind> Recognise(const std::string& file, std::size_t size, std::string& why) {
    const std::string name = sys::PathToUtf8(sys::PathFromUtf8(file).filename());
    for (const auto& known : KNOWN_FILES) {
        if (SameNameIgnoringCase(name, known.name)) {
            if (size >= known.size) {
                return known.kind;
            }
            why = file + " has " + std::to_string(size) + " bytes, expected " +
                  std::to_string(known.size);
            return std::nullopt;
        }
    }
    if (size == protocol::DtuBasicPara::SIZE || size == protocol::DtuAdvPara::SIZE) {
        return size == protocol::DtuBasicPara::SIZE ? FileKind::DtuBasic : FileKind::DtuAdvanced;
    }
    if (size >= protocol::SETTINGS_FILE_SIZE) {
        return FileKind::Settings;
    }
    why = file + " has " + std::to_string(size) +
          " bytes: no settings file (QXCfg.dat 1672, QXCfgDTU.dat 260, QXCfgDTUHL.dat 196)";
    return std::nullopt;
}

// A file none of whose checksums holds gives nothing to load: shown all the
// same, for whoever is looking into it, and then refused as a bad file.
int AllChecksumsFail(const std::string& file, std::ostream& err) {
    err << "quillon-cli show: " << file
        << ": every checksum fails; loading the file would take nothing from it\n";
    return EXIT_BAD_FILE;
}

// The table or JSON on `out`; on `err` a warning for each section the program would replace
// with its starting values when it loads the file.
int ShowSettings(const std::string& file, const std::vector<std::uint8_t>& bytes, bool json,
                 std::ostream& out, std::ostream& err) {
    const protocol::DecodedSettings decoded = protocol::DecodeSettings(bytes);
    if (json) {
        ordered_json document = SectionsToJson(decoded.sections);
        for (std::size_t i = 0; i < protocol::SETTINGS_SECTION_COUNT; ++i) {
            auto& section = document[std::string(protocol::SETTINGS_SECTION_NAMES[i].key)];
            ordered_json withCheck = {{"checksumOk", decoded.checks[i]}};
            withCheck.update(section);
            section = withCheck;
        }
        out << document.dump(2) << '\n';
    } else {
        PrintTable(decoded, out);
    }
    const auto failed = protocol::FailedSections(decoded.checks);
    for (const auto section : failed) {
        err << "quillon-cli show: warning: "
            << protocol::SectionResetWarning(sys::PathFromUtf8(file), section) << '\n';
    }
    return failed.size() == protocol::SETTINGS_SECTION_COUNT ? AllChecksumsFail(file, err)
                                                             : EXIT_OK;
}

// Stored text: `length` bytes (at most the field), one character per byte.
std::string Text(std::span<const std::uint8_t> field, std::size_t length) {
    return dtu::StoredBytesText(field.first(std::min(length, field.size())));
}

// Packet bytes as upper-case hexadecimal digits without blanks: "313233".
std::string Hex(std::span<const std::uint8_t> field, std::size_t length) {
    static constexpr char DIGITS[] = "0123456789ABCDEF";
    std::string hex;
    for (const std::uint8_t byte : field.first(std::min(length, field.size()))) {
        hex += DIGITS[byte >> 4];
        hex += DIGITS[byte & 0x0F];
    }
    return hex;
}

ordered_json PhoneJson(const protocol::PhoneSlot& slot) {
    return {{"length", slot.length}, {"digits", Text(slot.digits, slot.length)}};
}

ordered_json DtuBasicJson(const protocol::DtuBasicPara& b, bool checksumOk) {
    return {{"checksumOk", checksumOk},
            {"checksum", b.checksum},
            {"serverAddr", Text(b.serverAddr, b.serverAddrLen)},
            {"serverAddrLen", b.serverAddrLen},
            {"serverPort", b.serverPort},
            {"connectMode", b.connectMode},
            {"protocol", b.protocol},
            {"heartbeatSec", b.heartbeatSec},
            {"heartbeat", Hex(b.heartbeat, b.heartbeatLen)},
            {"heartbeatHex", b.heartbeatHex},
            {"heartbeatLen", b.heartbeatLen},
            {"regPacket", Hex(b.regPacket, b.regLen)},
            {"regHex", b.regHex},
            {"regLen", b.regLen},
            {"downlinkTimeoutSec", b.downlinkTimeoutSec},
            {"smsOutput", b.smsOutput},
            {"smsCoding", b.smsCoding},
            {"smsAlert", b.smsAlert},
            {"uartBaud", b.uartBaud},
            {"uartParity", b.uartParity},
            {"uartDataBits", b.uartDataBits},
            {"uartStopBits", b.uartStopBits}};
}

ordered_json DtuAdvancedJson(const protocol::DtuAdvPara& a, bool checksumOk) {
    ordered_json phones = ordered_json::array();
    for (const auto& slot : a.smsPhones) {
        phones.push_back(PhoneJson(slot));
    }
    return {{"checksumOk", checksumOk},
            {"checksum", a.checksum},
            {"backupAddr", Text(a.backupAddr, a.backupAddrLen)},
            {"backupAddrLen", a.backupAddrLen},
            {"backupPort", a.backupPort},
            {"rtcAutoCal", a.rtcAutoCal},
            {"netProtocol", a.netProtocol},
            {"apn", Text(a.apn, a.apnLen)},
            {"apnModify", a.apnModify},
            {"apnLen", a.apnLen},
            {"smsPhones", phones},
            {"wakePhone", PhoneJson(a.wakePhone)},
            {"noSignalRebootMin", a.noSignalRebootMin},
            {"timedStartMin", a.timedStartMin}};
}

std::string PlainValue(const ordered_json& value) {
    if (value.is_string()) {
        return value.get<std::string>();
    }
    if (value.is_object() && value.contains("digits")) {
        return value["digits"].get<std::string>() + " (" + value["length"].dump() + ")";
    }
    if (value.is_boolean()) {
        return value.get<bool>() ? "ok" : "BAD";
    }
    return value.dump();
}

// One field a line; phone numbers with their stored length in brackets.
void PrintFields(const ordered_json& record, std::ostream& out) {
    for (const auto& [key, value] : record.items()) {
        if (value.is_array()) {
            for (std::size_t i = 0; i < value.size(); ++i) {
                const std::string name = key + "[" + std::to_string(i + 1) + "]";
                out << std::left << std::setw(20) << name << PlainValue(value[i]) << '\n';
            }
        } else {
            out << std::left << std::setw(20) << key << PlainValue(value) << '\n';
        }
    }
}

template <typename Record>
ordered_json DtuJson(const std::vector<std::uint8_t>& bytes,
                     ordered_json (*toJson)(const Record&, bool)) {
    const std::span<const std::uint8_t, Record::SIZE> block(bytes.data(), Record::SIZE);
    return toJson(Record::FromBytes(block), protocol::SectionChecksumMatches(block));
}

// A DTU file has one checksum; the program loads its defaults when it fails.
template <typename Record>
int ShowDtu(const std::string& file, const std::vector<std::uint8_t>& bytes, bool json,
            std::ostream& out, std::ostream& err, ordered_json (*toJson)(const Record&, bool)) {
    const ordered_json record = DtuJson<Record>(bytes, toJson);
    if (json) {
        out << record.dump(2) << '\n';
    } else {
        PrintFields(record, out);
    }
    return record["checksumOk"].get<bool>() ? EXIT_OK : AllChecksumsFail(file, err);
}

}  // namespace

int RunShow(const std::string& file, bool json, std::ostream& out, std::ostream& err) {
    std::string why;
    const auto bytes = ReadFileBytes(file, why);
    const auto kind = bytes ? Recognise(file, bytes->size(), why) : std::nullopt;
    if (!kind) {
        err << "quillon-cli show: " << why << '\n';
        return EXIT_BAD_FILE;
    }
    switch (*kind) {
        case FileKind::DtuBasic:
            return ShowDtu<protocol::DtuBasicPara>(file, *bytes, json, out, err, DtuBasicJson);
        case FileKind::DtuAdvanced:
            return ShowDtu<protocol::DtuAdvPara>(file, *bytes, json, out, err, DtuAdvancedJson);
        case FileKind::Settings:
            break;
    }
    return ShowSettings(file, *bytes, json, out, err);
}

std::optional<SettingsDocument> LoadSettingsDocument(const std::string& file, std::string& why) {
    const auto bytes = ReadFileBytes(file, why);
    const auto kind = bytes ? Recognise(file, bytes->size(), why) : std::nullopt;
    if (!kind) {
        return std::nullopt;
    }
    switch (*kind) {
        case FileKind::DtuBasic:
            return SettingsDocument{std::string(dtu::DTU_BASIC_FILE_NAME),
                                    DtuJson<protocol::DtuBasicPara>(*bytes, DtuBasicJson),
                                    std::nullopt};
        case FileKind::DtuAdvanced:
            return SettingsDocument{std::string(dtu::DTU_ADV_FILE_NAME),
                                    DtuJson<protocol::DtuAdvPara>(*bytes, DtuAdvancedJson),
                                    std::nullopt};
        case FileKind::Settings:
            break;
    }
    const protocol::SettingsSections sections = protocol::DecodeSettings(*bytes).sections;
    return SettingsDocument{std::string(protocol::SETTINGS_FILE_NAME), SectionsToJson(sections),
                            sections};
}

}  // namespace quillon::cli
