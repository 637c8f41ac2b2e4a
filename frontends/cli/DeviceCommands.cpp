// Commands that talk to a device through a headless main window.
#include <algorithm>
#include <iomanip>

#include "app/MainWindowIds.hpp"
#include "frontends/cli/Commands.hpp"
#include "frontends/cli/RecordJson.hpp"
#include "protocol/SettingsFile.hpp"

namespace quillon::cli {
namespace {

constexpr const char* WRITE_SUCCESS = "写入参数成功，请重启设备生效!";
constexpr const char* READ_SUCCESS = "读取设备参数成功!";

using std::chrono::milliseconds;

// What a read filled: the read-back channel copies and the sections the
// window and its pages hold.
protocol::SettingsSections ReadSections(app::CQuillonDlg& window) {
    protocol::SettingsSections sections;
    sections.can1 = window.ReadBackChannel(0);
    sections.can2 = window.ReadBackChannel(1);
    sections.sys = window.SystemRecord();
    sections.filters1 = window.Advanced1Page().Record();
    sections.filters2 = window.Advanced2Page().Record();
    sections.bridge = window.BridgePage().Record();
    sections.replay = window.ReplayPage().Record();
    return sections;
}

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

}  // namespace

int RunWrite(const GlobalOptions& options, const WriteOptions& write, sys::SystemServices& services,
             std::ostream& out, std::ostream& err) {
    // The window falls back to the factory settings without a word; from a
    // script that would reset a device over a mistyped directory.
    const auto settingsFile = SettingsDirectory(options, services) / protocol::SETTINGS_FILE_NAME;
    if (const std::string problem = protocol::SettingsFileProblem(settingsFile);
        !problem.empty() && !write.defaults) {
        err << "quillon-cli write: " << problem
            << "; nothing written (--defaults writes the factory settings instead)\n";
        return EXIT_BAD_FILE;
    }
    Session session(options, out, services);
    if (!session.Connect(err)) {
        return EXIT_NO_ADAPTER;
    }
    session.Host().ClearBoxes();
    session.Window().WriteParameters();
    session.Disconnect();
    const bool failed = session.FailureShown(WRITE_SUCCESS) || session.Host().Boxes().empty();
    if (failed) {
        err << "quillon-cli write: the parameter write failed\n";
    }
    const auto unsaved = session.Window().SaveFailures();
    for (const auto& failure : unsaved) {
        err << "quillon-cli write: settings not saved: " << failure.message << '\n';
    }
    return failed || !unsaved.empty() ? EXIT_FAILED : EXIT_OK;
}

int RunRead(const GlobalOptions& options, const ReadOptions& read, sys::SystemServices& services,
            std::ostream& out, std::ostream& err) {
    Session session(options, out, services);
    if (!session.Connect(err)) {
        return EXIT_NO_ADAPTER;
    }
    auto& window = session.Window();
    session.Host().ClearBoxes();
    window.ReadParameters();
    if (session.FailureShown(READ_SUCCESS)) {
        return EXIT_FAILED;
    }
    // The first identity change already refreshes the pages; the read is
    // complete only when each channel's completion frame has been decoded.
    const bool complete = session.PumpUntil(
        [&window] { return window.CompletionCount(0) > 0 && window.CompletionCount(1) > 0; },
        milliseconds(read.timeoutMs));
    session.Host().PumpMessages();
    session.Disconnect();
    if (!complete) {
        err << "quillon-cli read: no completion from the device within " << read.timeoutMs
            << " ms\n";
        return EXIT_TIMEOUT;
    }
    protocol::SettingsSections sections = ReadSections(window);
    if (options.json) {
        auto document = SectionsToJson(sections);
        document["identity"] = ToJson(window.Identity());
        out << document.dump(2) << '\n';
    } else {
        PrintSummary(window, sections, out);
    }
    if (read.save) {
        const auto result = protocol::WriteSettingsFile(window.SettingsPath(), sections);
        if (!result) {
            err << "quillon-cli read: " << result.message << '\n';
            return EXIT_FAILED;
        }
    }
    return EXIT_OK;
}

int RunStorageInit(const GlobalOptions& options, const StorageInitOptions& init,
                   sys::SystemServices& services, std::ostream& out, std::ostream& err) {
    Session session(options, out, services);
    if (!session.Connect(err)) {
        return EXIT_NO_ADAPTER;
    }
    auto& window = session.Window();
    session.Host().ClearBoxes();
    window.InitStorage();
    if (!window.StorageInitPending()) {
        session.Disconnect();
        return options.yes ? EXIT_FAILED : EXIT_USAGE;
    }
    const bool answered = session.PumpUntil([&window] { return !window.StorageInitPending(); },
                                            milliseconds(init.timeoutMs));
    session.Disconnect();
    if (!answered) {
        err << "quillon-cli storage-init: no reply from the device within " << init.timeoutMs
            << " ms\n";
        return EXIT_TIMEOUT;
    }
    // A quick device answers before the wait notice is shown: the result is
    // whichever box says so, not the last one.
    const auto boxes = session.Host().Boxes();
    const bool initialised = std::any_of(
        boxes.begin(), boxes.end(), [](const auto& box) { return box.text == "初始化SD卡成功"; });
    return initialised ? EXIT_OK : EXIT_FAILED;
}

int RunSession(const GlobalOptions& options, sys::SystemServices& services, std::ostream& out,
               std::ostream& err) {
    Session session(options, out, services);
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
