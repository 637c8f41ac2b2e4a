// quillon-cli demo: what a newcomer sees first without a display.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iostream>
#include <random>

#include "app/MainWindowIds.hpp"
#include "frontends/cli/Commands.hpp"
#include "frontends/cli/DeviceRead.hpp"
#include "frontends/cli/ProgressPrinter.hpp"
#include "frontends/cli/RecordJson.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/system/Utf8Path.hpp"
#include "sim/Sha256.hpp"
#include "sim/SimDevices.hpp"

namespace quillon::cli {
namespace {

using std::chrono::milliseconds;

constexpr std::size_t DEMO_IMAGE_BYTES = 16 * 1024;

bool ReadAll(Session& session) {
    const bool complete = RequestRead(session, static_cast<int>(app::ReadJudge::NO_ANSWER_MS)) ==
                          app::ReadVerdict::Complete;
    session.Host().Settle(complete);
    return complete;
}

// A record worth looking at: CAN1 at 250 kbit/s with two recording rules,
// one acceptance filter, one replay file.
void PrepareRecord(app::CQuillonDlg& window) {
    auto& can1 = window.Can1Page().Record();
    can1.baudIndex = 2;
    can1.filterCount = 2;
    can1.filters[0] = {1, 0, 0, 2, 0x100, 0x1FF, 10};
    can1.filters[1] = {1, 0, 1, 0, 0x18FF0000, 0x18FFFFFF, 0};
    window.Can1Page().ApplyBaudTable();
    window.Can1Page().LoadFromRecord();
    auto& filters = window.Advanced1Page().Record();
    filters.enable = 1;
    filters.filterCount = 1;
    filters.matchValue[0] = 0x123;
    filters.matchMask[0] = 0x7FF;
    auto& replay = window.ReplayPage().Record();
    replay.ruleCount = 1;
    replay.rules[0] = {};
    replay.rules[0].channelMask = 1;
    replay.rules[0].times = 3;
    replay.rules[0].fileName = {'d', 'e', 'm', 'o'};
}

bool SameAsWritten(app::CQuillonDlg& window, const protocol::SettingsSections& written) {
    auto strip = [](protocol::CanPara can) {
        can.checksum = 0;
        return can;
    };
    return strip(window.ReadBackChannel(0)) == strip(written.can1) &&
           strip(window.ReadBackChannel(1)) == strip(written.can2) &&
           window.Advanced1Page().Record().matchValue == written.filters1.matchValue &&
           window.ReplayPage().Record().rules[0].fileName == written.replay.rules[0].fileName;
}

std::filesystem::path WriteDemoImage(const std::filesystem::path& dir) {
    std::mt19937 random(20261207);
    const auto path = dir / "demo-firmware.bin";
    std::ofstream file(path, std::ios::binary);
    for (std::size_t i = 0; i < DEMO_IMAGE_BYTES; ++i) {
        file.put(static_cast<char>(random() & 0xFF));
    }
    return path;
}

std::string FileSha256(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                    std::istreambuf_iterator<char>());
    return sim::Sha256::HexOf(bytes);
}

// Options of the sim backend that would put the demo's writes and its made-up
// firmware into a device other than its own fresh one.
constexpr std::array<std::string_view, 3> FOREIGN_DEVICE_KEYS = {"state", "bus", "nodevice"};

// The adapter the demo runs on: always a simulated device that remembers
// nothing ("state=none"), whatever KELVIX_ADAPTER or kelvix.conf name. Only
// sim options that keep it so (type, firmware version, timing, faults) may be
// given. Empty with `refusal` set otherwise.
std::string DemoAdapterSpec(const std::string& given, std::string& refusal) {
    const std::string base = "sim:state=none";
    if (given.empty()) {
        return base;
    }
    const kelvix::AdapterSpec spec = kelvix::AdapterSpec::Parse(given);
    if (spec.backend != "sim") {
        refusal =
            "the demo runs only against a simulated device of its own; it does not use "
            "--adapter " +
            kelvix::EscapeControlCharacters(given);
        return {};
    }
    std::string_view rest = spec.options;
    while (!rest.empty()) {
        const std::string_view option = rest.substr(0, rest.find(','));
        rest.remove_prefix(std::min(rest.size(), option.size() + 1));
        const std::string_view key = option.substr(0, option.find('='));
        if (std::find(FOREIGN_DEVICE_KEYS.begin(), FOREIGN_DEVICE_KEYS.end(), key) !=
            FOREIGN_DEVICE_KEYS.end()) {
            refusal =
                "the demo runs only against a fresh simulated device of its own; it does "
                "not take the sim option " +
                kelvix::EscapeControlCharacters(key);
            return {};
        }
    }
    return spec.options.empty() ? base : base + "," + spec.options;
}

// A directory of the demo's own, removed with everything in it when the demo ends.
class DemoDirectory {
  public:
    DemoDirectory()
        : path_(std::filesystem::temp_directory_path() /
                ("quillon-demo-" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~DemoDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    DemoDirectory(const DemoDirectory&) = delete;
    DemoDirectory& operator=(const DemoDirectory&) = delete;
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace

int RunDemo(const GlobalOptions& globalOptions, sys::SystemServices& services, std::ostream& out,
            std::ostream& err) {
    GlobalOptions options = globalOptions;
    std::string refusal;
    options.adapter = DemoAdapterSpec(globalOptions.adapter, refusal);
    if (!options.settingsDir.empty()) {
        refusal =
            "the demo keeps its settings in a temporary directory of its own; it does not "
            "use --settings-dir";
    }
    if (!refusal.empty()) {
        err << "quillon-cli demo: " << refusal << '\n';
        return EXIT_USAGE;
    }
    const DemoDirectory directory;
    options.settingsDir = sys::PathToUtf8(directory.Path());
    out << "Quillon 演示 — 设置目录 " << options.settingsDir << "\n\n1. 连接设备\n";
    Session session(options, out, err, services);
    auto& window = session.Window();
    if (!session.Connect(err)) {
        return EXIT_NO_ADAPTER;
    }
    out << "\n2. 读取设备身份与参数\n";
    if (!ReadAll(session)) {
        err << "quillon-cli demo: the device did not answer the read\n";
        return EXIT_TIMEOUT;
    }
    out << "   " << window.GetDlgItemText(app::IDC_DEVICE_INFO) << '\n';

    out << "\n3. 写入演示参数 (CAN1 250kbps, 2 条记录规则, 1 个滤波器, 1 个回放文件)\n";
    PrepareRecord(window);
    session.Host().Settle(window.WriteParameters());
    const protocol::SettingsSections written = window.Record();

    out << "\n4. 读回并比较\n";
    window.Advanced1Page().Record() = {};
    window.ReplayPage().Record() = {};
    const bool readBack = ReadAll(session);
    const bool same = readBack && SameAsWritten(window, written);
    out << "   " << (same ? "读回的参数与写入的一致" : "读回的参数与写入的不同!") << '\n';

    out << "\n5. 升级固件 (生成的 " << DEMO_IMAGE_BYTES << " 字节镜像; 擦除等待 8 秒)\n";
    const auto image = WriteDemoImage(directory.Path());
    session.Host().SetFileToOpen(image.string());
    const bool terminal = &out == &std::cout && ::isatty(STDOUT_FILENO) == 1;
    ProgressPrinter printer(out, services.clock, false, terminal);
    const upgrade::UpgradeObserver observer(
        [&printer](const upgrade::UpgradeProgress& progress) { printer.Show(progress); });
    const app::CommandResult upgrade = window.UpgradeFirmware(&observer);
    session.Host().Settle(upgrade);
    const bool upgraded = upgrade.succeeded;
    std::string received = "(not a simulated device)";
    if (auto device = sim::LastSimulatedDevice()) {
        session.PumpUntil([&] { return device->Loader().ImageLength() >= DEMO_IMAGE_BYTES; },
                          milliseconds(3000));
        received = device->Loader().Sha256Hex();
    }
    session.Disconnect();

    const std::string sent = FileSha256(image);
    out << "\n报告\n   设备: " << app::DeviceTypeName(window.Identity().deviceType) << ", 序号 "
        << app::SerialText(window.Identity().serial) << ", 固件 Ver_"
        << window.Identity().firmwareVersion << "\n   参数写入/读回: " << (same ? "一致" : "不一致")
        << "\n   镜像 SHA-256: " << sent << "\n   设备收到:     " << received << '\n';
    const bool ok =
        same && upgraded && (received == sent || received == "(not a simulated device)");
    out << (ok ? "\n演示完成。\n" : "\n演示未全部成功。\n");
    return ok ? EXIT_OK : EXIT_FAILED;
}

}  // namespace quillon::cli
