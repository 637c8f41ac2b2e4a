#include "frontends/cli/ConfigTextFile.hpp"

#include <algorithm>
#include <span>

#include "configtext/ConfigText.hpp"
#include "platform/system/InputFile.hpp"
#include "platform/system/Utf8Path.hpp"

namespace quillon::cli {
namespace {

// Far above any document of this format; a larger file is no configuration.
constexpr std::size_t MAX_TEXT_BYTES = 4 * 1024 * 1024;

}  // namespace

bool IsConfigTextFile(const std::string& file) {
    const sys::InputFileBytes read = sys::ReadInputFile(sys::PathFromUtf8(file), 64);
    // An editor may put a byte order mark in front; the parser skips it too.
    const std::vector<std::uint8_t> bom = {0xEF, 0xBB, 0xBF};
    const bool marked =
        read.bytes.size() >= bom.size() && std::equal(bom.begin(), bom.end(), read.bytes.begin());
    for (std::uint8_t byte : std::span(read.bytes).subspan(marked ? bom.size() : 0)) {
        if (byte != ' ' && byte != '\t' && byte != '\r' && byte != '\n') {
            return byte == '{' || byte == '/';
        }
    }
    return false;
}

std::optional<configtext::ConfigRecords> LoadConfigTextFile(const std::string& file,
                                                            const sys::SystemServices& services,
                                                            std::string_view command,
                                                            std::ostream& err) {
    const sys::InputFileBytes read = sys::ReadInputFile(sys::PathFromUtf8(file), MAX_TEXT_BYTES);
    if (!read.ok) {
        err << command << ": " << read.error << '\n';
        return std::nullopt;
    }
    if (read.longer) {
        err << command << ": " << file << " is larger than " << MAX_TEXT_BYTES
            << " bytes; no configuration text is\n";
        return std::nullopt;
    }
    const std::string_view text(reinterpret_cast<const char*>(read.bytes.data()),
                                read.bytes.size());
    const configtext::ImportResult result =
        configtext::ImportConfigText(text, services.codePages.ansi);
    for (const configtext::TextProblem& problem : result.problems) {
        err << command << ": " << configtext::ProblemLine(problem) << '\n';
    }
    if (!result.records) {
        err << command << ": " << file << " is refused; nothing written\n";
    }
    return result.records;
}

configtext::Json ConfigFields(const configtext::ConfigRecords& records,
                              const sys::SystemServices& services) {
    configtext::Json fields = configtext::ConfigToJson(records, services.codePages.ansi);
    // The header says what the document is, not what the device holds.
    for (const char* key : {"$schema", "format", "version"}) {
        fields.erase(key);
    }
    return fields;
}

}  // namespace quillon::cli
