// Commands that talk to a device through a headless main window.
#include <algorithm>
#include <iomanip>

#include "app/MainWindowIds.hpp"
#include "frontends/cli/Commands.hpp"
#include "frontends/cli/ConfigTextCommands.hpp"
#include "frontends/cli/DeviceRead.hpp"
#include "frontends/cli/FieldDiff.hpp"
#include "frontends/cli/RecordJson.hpp"
#include "protocol/SettingsFile.hpp"

namespace quillon::cli {
namespace {

using std::chrono::milliseconds;

void PrintSummary(app::CQuillonDlg& window, const protocol::SettingsSections& s,
                  std::ostream& out) {
    const auto& id = window.Identity();
    out << "设备: " << app::DeviceTypeName(id.deviceType) << " (type " << int(id.deviceType)
        << "), 序号 " << app::SerialText(id.serial) << ", 硬件 Ver_" << id.hardwareVersion
        << ", 固件 Ver_" << id.firmwareVersion << '\n';
    int channel = 1;
    for (const auto* can : {&s.can1, &s.can2}) {
        out << "CAN" << channel++ << ": enable=" << int(can->enable)
            << " baudIndex=" << int(can->baudIndex) << " btr0=0x" << std::hex << int(can->btr0)
            << " btr1=0x" << int(can->btr1) << std::dec << " workMode=" << int(can->workMode)
            << " acceptAll=" << int(can->acceptAll) << " filters=" << int(can->filterCount) << '\n';
    }
    out << "系统: fileSizeMB=" << s.sys.fileSizeMB
        << " cyclicOverwrite=" << int(s.sys.cyclicOverwrite)
        << " firstFrameTimeZero=" << int(s.sys.firstFrameTimeZero)
        << " errorProofing=" << int(s.sys.errorProofing) << '\n';
    out << "高级滤波: CAN1 " << int(s.filters1.filterCount) << ", CAN2 "
        << int(s.filters2.filterCount) << "; 网桥规则 " << int(s.bridge.ruleCount) << "; 回放文件 "
        << int(s.replay.ruleCount) << '\n';
}

// Older firmware is told of at most ten recording rules per channel, and a
// device whose version was never read counts as older: learn the version
// first, keeping the replies out of the record about to be written.
void IdentifyDevice(Session& session, int timeoutMs, std::ostream& err) {
    auto& window = session.Window();
    err << "quillon-cli write: a channel holds more than 10 recording rules; identifying the "
           "device first\n";
    const auto before = window.VersionReplies();
    if (!window.IdentifyDevice() ||
        !session.PumpUntil([&] { return window.VersionReplies() > before; },
                           milliseconds(timeoutMs))) {
        err << "quillon-cli write: warning: the device did not tell its firmware version within "
            << timeoutMs << " ms\n";
        return;
    }
    // The rest of the replies to the request are still coming in: let them
    // arrive (and be dropped) before the write starts.
    const auto settleEnd = std::chrono::steady_clock::now() + milliseconds(1000);
    for (auto seen = window.FramesHandled(); std::chrono::steady_clock::now() < settleEnd;) {
        if (!session.PumpUntil([&] { return window.FramesHandled() != seen; }, milliseconds(100))) {
            break;
        }
        seen = window.FramesHandled();
    }
    session.Host().PumpMessages();
}

// Reads the device back after a write and compares the fields a read returns
// with what was written.
int VerifyWrite(Session& session, int timeoutMs, bool json, std::ostream& out, std::ostream& err) {
    const auto written = ReadableToJson(session.Window().Record());
    const DeviceRead read = ReadDevice(session, timeoutMs, "quillon-cli write --verify", err, true);
    if (read.status != EXIT_OK) {
        return read.status;
    }
    const auto differences = DiffFields(written, ReadableToJson(read.sections));
    if (json) {
        out << DifferencesToJson(differences, "written", "device").dump(2) << '\n';
    } else {
        PrintDifferences(differences, out);
    }
    if (!differences.empty()) {
        err << "quillon-cli write --verify: the device reports " << differences.size()
            << " field(s) other than written\n";
        return EXIT_FAILED;
    }
    return EXIT_OK;
}

}  // namespace

int RunWrite(const GlobalOptions& options, const WriteOptions& write, sys::SystemServices& services,
             std::ostream& out, std::ostream& err) {
    if (!write.from.empty()) {
        if (const int imported = ImportBeforeWrite(options, write.from, services, err);
            imported != EXIT_OK) {
            return imported;
        }
    }
    // The window falls back to the factory settings without a word; from a
    // script that would reset a device over a mistyped directory.
    const auto settingsFile = SettingsDirectory(options, services) / protocol::SETTINGS_FILE_NAME;
    if (const std::string problem = protocol::SettingsFileProblem(settingsFile);
        !problem.empty() && !write.defaults) {
        err << "quillon-cli write: " << problem
            << "; nothing written (--defaults writes anyway, with starting values for what is "
               "missing or damaged)\n";
        return EXIT_BAD_FILE;
    }
    Session session(options, out, err, services);
    for (const auto section : session.Window().SettingsResets()) {
        err << "quillon-cli write: warning: "
            << protocol::SectionResetWarning(session.Window().SettingsPath(), section) << '\n';
    }
    // A device must not be given settings its files will not hold: checked
    // before the adapter is even opened.
    if (const std::string problem = session.Window().SettingsSaveProblem(); !problem.empty()) {
        err << "quillon-cli write: settings cannot be saved: " << problem << "; nothing sent\n";
        return EXIT_BAD_FILE;
    }
    if (!session.Connect(err)) {
        return EXIT_NO_ADAPTER;
    }
    auto& window = session.Window();
    if (!window.RuleCountCuts().empty()) {
        IdentifyDevice(session, write.timeoutMs, err);
    }
    const app::CommandResult written = window.WriteParameters();
    session.Host().Settle(written);
    const bool failed = !written.succeeded;
    window.EndIdentification();
    if (failed) {
        err << "quillon-cli write: the parameter write failed\n";
    }
    for (const std::string& cut : window.RuleCountCuts()) {
        err << "quillon-cli write: warning: " << cut << '\n';
    }
    const auto unsaved = session.Window().SaveFailures();
    for (const auto& failure : unsaved) {
        err << "quillon-cli write: settings not saved: " << failure.message << '\n';
    }
    if (failed || !unsaved.empty()) {
        return EXIT_FAILED;
    }
    return write.verify ? VerifyWrite(session, write.timeoutMs, options.json, out, err) : EXIT_OK;
}

int RunRead(const GlobalOptions& options, const ReadOptions& read, sys::SystemServices& services,
            std::ostream& out, std::ostream& err) {
    Session session(options, out, err, services);
    if (!session.Connect(err)) {
        return EXIT_NO_ADAPTER;
    }
    const DeviceRead result = ReadDevice(session, read.timeoutMs, "quillon-cli read", err, false);
    session.Disconnect();
    if (result.status != EXIT_OK) {
        return result.status;
    }
    protocol::SettingsSections sections = result.sections;
    auto& window = session.Window();
    if (options.json) {
        auto document = SectionsToJson(sections);
        document["identity"] = ToJson(window.Identity());
        document["notReported"] = result.notReported;
        out << document.dump(2) << '\n';
    } else {
        PrintSummary(window, sections, out);
    }
    if (!read.exportFile.empty()) {
        if (const int exported =
                ExportReadConfiguration(options, read.exportFile, sections, window, services, err);
            exported != EXIT_OK) {
            return exported;
        }
    }
    if (read.save) {
        const auto saved = protocol::WriteSettingsFile(window.SettingsPath(), sections);
        if (!saved) {
            err << "quillon-cli read: " << saved.message << '\n';
            return EXIT_FAILED;
        }
    }
    return EXIT_OK;
}

int RunStorageInit(const GlobalOptions& options, const StorageInitOptions& init,
                   sys::SystemServices& services, std::ostream& out, std::ostream& err) {
    Session session(options, out, err, services);
    if (!session.Connect(err)) {
        return EXIT_NO_ADAPTER;
    }
    auto& window = session.Window();
    // Judged by the request's result, not the pending flag: a quick device's
    // reply may clear that before the request has returned.
    const app::CommandResult request = window.InitStorage();
    if (!request.succeeded) {
        session.Host().Settle(request);
        session.Disconnect();
        // Declined (no --yes) is a matter of usage; a refused request a failure.
        return request.text.empty() ? EXIT_USAGE : EXIT_FAILED;
    }
    const bool answered = session.PumpUntil([&window] { return !window.StorageInitPending(); },
                                            milliseconds(init.timeoutMs));
    session.Disconnect();
    // Settled together: a quick device's answer may be shown before the
    // request's own box.
    const auto reply = window.StorageReply();
    if (!answered || !reply) {
        session.Host().Settle(request);
    } else {
        session.Host().Settle(std::vector<app::CommandResult>{request, *reply});
    }
    if (!answered) {
        err << "quillon-cli storage-init: no reply from the device within " << init.timeoutMs
            << " ms\n";
        return EXIT_TIMEOUT;
    }
    return reply && reply->succeeded ? EXIT_OK : EXIT_FAILED;
}

int RunSession(const GlobalOptions& options, sys::SystemServices& services, std::ostream& out,
               std::ostream& err) {
    Session session(options, out, err, services);
    auto& window = session.Window();
    out << window.Template().caption << '\n';
    if (!session.Connect(err)) {
        return EXIT_NO_ADAPTER;
    }
    out << "已连接适配器 " << options.index << " (" << window.GetDlgItemText(app::IDC_CONNECT)
        << ")\n";
    for (const auto& control : window.Template().controls) {
        if (control.id <= 0 || !window.IsWindowVisible(control.id) ||
            control.kind == ui::ControlKind::ComboBox) {
            continue;
        }
        const std::string text = window.GetDlgItemText(control.id);
        out << "  [" << control.id << "] " << (text.empty() ? "-" : text)
            << (window.IsWindowEnabled(control.id) ? "" : "  (不可用)") << '\n';
    }
    session.Disconnect();
    out << "已断开 (" << window.GetDlgItemText(app::IDC_CONNECT) << ")\n";
    return EXIT_OK;
}

}  // namespace quillon::cli
