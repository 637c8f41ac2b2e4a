// The window menu's export and import of the configuration as text.
#include "app/ConfigTextMenu.hpp"

#include "app/CQuillonDlg.hpp"
#include "app/MainWindowIds.hpp"
#include "configtext/ConfigFiles.hpp"
#include "configtext/ConfigText.hpp"
#include "platform/system/InputFile.hpp"
#include "platform/system/Utf8Path.hpp"
#include "protocol/SaveFile.hpp"

namespace quillon::app {
namespace {

// Far above any document of the format.
constexpr std::size_t MAX_TEXT_BYTES = 4 * 1024 * 1024;

std::string ProblemLines(const std::vector<configtext::TextProblem>& problems, bool warningsOnly) {
    std::string lines;
    for (const configtext::TextProblem& problem : problems) {
        if (!warningsOnly || !problem.error) {
            lines += "\n" + configtext::ProblemLine(problem);
        }
    }
    return lines;
}

}  // namespace

CommandResult CQuillonDlg::ExportConfiguration() {
    const auto path = GetHost().SaveFileDialog(this, CONFIG_TEXT_FILTER, CONFIG_TEXT_DEFAULT_NAME);
    if (!path) {
        return {};
    }
    // What a write would send and save: the pages' values taken as the write takes them.
    sysPage_.UpdateData(true);
    sysPage_.StoreToRecord(record_.sys);
    can1Page_.StoreToRecord();
    can2Page_.StoreToRecord();
    dtuBasicPage_.CollectDtuBasic();
    dtuAdvancedPage_.CollectDtuAdv();
    const configtext::ConfigRecords records{record_, dtuBasicPage_.Record(),
                                            dtuAdvancedPage_.Record()};
    const std::string text = configtext::ExportConfigText(records, services_.codePages.ansi);
    const auto saved = protocol::SaveFile(
        sys::PathFromUtf8(*path),
        std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    if (!saved) {
        return Warn(EXPORT_CONFIG_FAILED + saved.message);
    }
    CommandResult result{true, {}, {}, 0, STATUS_CONFIG_EXPORTED + *path};
    SetDlgItemText(IDC_STATUS, result.status);
    return result;
}

CommandResult CQuillonDlg::ImportConfiguration() {
    const auto path = GetHost().OpenFileDialog(this, CONFIG_TEXT_FILTER);
    if (!path) {
        return {};
    }
    const sys::InputFileBytes read = sys::ReadInputFile(sys::PathFromUtf8(*path), MAX_TEXT_BYTES);
    if (!read.ok) {
        return Warn(std::string(IMPORT_CONFIG_REFUSED) + "\n" + read.error);
    }
    const configtext::ImportResult imported = configtext::ImportConfigText(
        std::string_view(reinterpret_cast<const char*>(read.bytes.data()), read.bytes.size()),
        services_.codePages.ansi);
    if (!imported.records) {
        return Warn(IMPORT_CONFIG_REFUSED + ProblemLines(imported.problems, false));
    }
    if (const std::string problem =
            configtext::SaveConfigDirectory(services_.SettingsDirectory(), *imported.records);
        !problem.empty()) {
        return Warn(std::string(IMPORT_CONFIG_REFUSED) + "\n" + problem);
    }
    // The pages take the saved files as they do at start-up.
    LoadSettings();
    RefreshPages();
    CommandResult result{true, {}, {}, 0, STATUS_CONFIG_IMPORTED + *path};
    SetDlgItemText(IDC_STATUS, result.status);
    if (!imported.problems.empty()) {
        MessageBox(IMPORT_CONFIG_WARNINGS + ProblemLines(imported.problems, true), CAPTION_WARNING,
                   ui::MB_OK | ui::MB_ICONQUESTION);
    }
    return result;
}

}  // namespace quillon::app
