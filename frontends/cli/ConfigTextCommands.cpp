// quillon-cli export and import: the settings directory as a configuration
// text, and a checked text saved into it as the three settings files.
#include "frontends/cli/ConfigTextCommands.hpp"
#include "configtext/ConfigFiles.hpp"
#include "configtext/ConfigText.hpp"
#include "frontends/cli/Commands.hpp"
#include "frontends/cli/ConfigTextFile.hpp"
#include "frontends/cli/FieldDiff.hpp"
#include "platform/system/Utf8Path.hpp"
#include "protocol/SaveFile.hpp"

namespace quillon::cli {
namespace {

protocol::SaveResult SaveText(const std::string& file, const std::string& text) {
    return protocol::SaveFile(
        sys::PathFromUtf8(file),
        std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace

int RunExport(const GlobalOptions& options, const ExportOptions& exportOptions,
              sys::SystemServices& services, std::ostream& out, std::ostream& err) {
    constexpr const char* COMMAND = "quillon-cli export";
    std::string why;
    const auto records = configtext::ReadConfigDirectory(SettingsDirectory(options, services), why);
    if (!records) {
        err << COMMAND << ": " << why << "; nothing exported\n";
        return EXIT_BAD_FILE;
    }
    const std::string text = configtext::ExportConfigText(*records, services.codePages.ansi);
    if (exportOptions.output.empty()) {
        out << text;
        return EXIT_OK;
    }
    if (const auto saved = SaveText(exportOptions.output, text); !saved) {
        err << COMMAND << ": " << saved.message << '\n';
        return EXIT_FAILED;
    }
    return EXIT_OK;
}

int RunImport(const GlobalOptions& options, const ImportOptions& import,
              sys::SystemServices& services, std::ostream& out, std::ostream& err) {
    const std::string command =
        import.dryRun ? "quillon-cli import --dry-run" : "quillon-cli import";
    const auto records = LoadConfigTextFile(import.file, services, command, err);
    if (!records) {
        return EXIT_BAD_FILE;
    }
    const auto directory = SettingsDirectory(options, services);
    std::string why;
    const auto current = configtext::ReadConfigDirectory(directory, why);
    if (import.dryRun) {
        if (!current) {
            err << command << ": " << why << "; every field counts as changed\n";
        }
        const auto differences =
            DiffFields(current ? ConfigFields(*current, services) : configtext::Json::object(),
                       ConfigFields(*records, services));
        if (options.json) {
            out << DifferencesToJson(differences, "now", "imported").dump(2) << '\n';
        } else {
            PrintDifferences(differences, out);
        }
        return EXIT_OK;
    }
    if (const std::string problem = configtext::SaveConfigDirectory(directory, *records);
        !problem.empty()) {
        err << command << ": " << problem << '\n';
        return EXIT_BAD_FILE;
    }
    return EXIT_OK;
}

int ImportBeforeWrite(const GlobalOptions& options, const std::string& file,
                      sys::SystemServices& services, std::ostream& err) {
    constexpr const char* COMMAND = "quillon-cli write --from";
    const auto records = LoadConfigTextFile(file, services, COMMAND, err);
    if (!records) {
        return EXIT_BAD_FILE;
    }
    const std::string problem =
        configtext::SaveConfigDirectory(SettingsDirectory(options, services), *records);
    if (!problem.empty()) {
        err << COMMAND << ": " << problem << "; nothing sent\n";
        return EXIT_BAD_FILE;
    }
    return EXIT_OK;
}

int ExportReadConfiguration(const GlobalOptions& options, const std::string& file,
                            const protocol::SettingsSections& read, app::CQuillonDlg& window,
                            sys::SystemServices& services, std::ostream& err) {
    constexpr const char* COMMAND = "quillon-cli read --export";
    const auto directory = SettingsDirectory(options, services);
    std::string why;
    auto records = configtext::ReadConfigDirectory(directory, why);
    if (!records) {
        err << COMMAND << ": " << why << "; the rest comes from what the window loaded\n";
        records = configtext::ConfigRecords{window.Record(), window.DtuBasicPage().Record(),
                                            window.DtuAdvancedPage().Record()};
    }
    const protocol::SettingsSections local = records->sections;
    records->sections = read;
    records->sections.sys = local.sys;
    // The write sends 1 in a rule's lead byte whatever the file holds, so the
    // device's byte tells nothing the file should take.
    for (std::size_t i = 0; i < local.bridge.rules.size(); ++i) {
        records->sections.bridge.rules[i].leadByte = local.bridge.rules[i].leadByte;
    }
    records->sections.sys.fileSizeMB = read.sys.fileSizeMB;
    records->sections.sys.cyclicOverwrite = read.sys.cyclicOverwrite;
    records->sections.sys.firstFrameTimeZero = read.sys.firstFrameTimeZero;
    records->sections.sys.errorProofing = read.sys.errorProofing;
    err << COMMAND
        << ": from the device: can1, can2, filters1, filters2, bridge, replay, "
           "sys.fileSizeMB, sys.cyclicOverwrite, sys.firstFrameTimeZero, sys.errorProofing; "
           "from "
        << sys::PathToUtf8(directory) << ": the rest of sys, dtuBasic, dtuAdv\n";
    const std::string text = configtext::ExportConfigText(*records, services.codePages.ansi);
    if (const auto saved = SaveText(file, text); !saved) {
        err << COMMAND << ": " << saved.message << '\n';
        return EXIT_FAILED;
    }
    return EXIT_OK;
}

}  // namespace quillon::cli
