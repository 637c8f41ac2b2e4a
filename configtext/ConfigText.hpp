// The configuration text: one JSON document for everything a parameter write
// sends (both channels, the system section, both acceptance-filter sections,
// the bridge rules, the replay list and the two DTU records), written for a
// person to read and edit, and read back into the records byte for byte.
//
// Each section holds its named fields (SectionText) and, where the record's
// bytes say more than the names can (reserved bytes, values the pages never
// produce, slots beyond a count), a "raw" member: {"offset": "hex bytes"},
// offsets counted in the section as its record lays it out, laid over the
// bytes the names give.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "configtext/ConfigRecords.hpp"
#include "configtext/TextProblems.hpp"
#include "configtext/ValueReader.hpp"
#include "platform/system/CodePage.hpp"

namespace quillon::configtext {

inline constexpr std::string_view FORMAT_NAME = "quillon-settings";
inline constexpr int FORMAT_VERSION = 1;
/// What exported documents name in "$schema"; it is installed beside the programs' data.
inline constexpr std::string_view SCHEMA_FILE_NAME = "quillon-settings.schema.json";
inline constexpr std::string_view DTU_BASIC_KEY = "dtuBasic";
inline constexpr std::string_view DTU_ADV_KEY = "dtuAdv";

/// The document of `records`.
Json ConfigToJson(const ConfigRecords& records, const sys::CodePage& ansi);
/// The document as text: two-space indents, a line break at the end.
std::string ExportConfigText(const ConfigRecords& records, const sys::CodePage& ansi);

struct ImportResult {
    /// The records with their checksums, when no problem was an error.
    std::optional<ConfigRecords> records;
    /// Every error and warning, in document order.
    std::vector<TextProblem> problems;
};

/// Reads a document (comments "//" and "/* */" allowed), checking every field.
ImportResult ImportConfigText(std::string_view text, const sys::CodePage& ansi);
/// The same, of a document already parsed.
ImportResult ImportConfigJson(const Json& document, const sys::CodePage& ansi);

}  // namespace quillon::configtext
