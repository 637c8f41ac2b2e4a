// quillon-cli demo: what a newcomer sees first without a display.
#include <unistd.h>

#include <fstream>
#include <iostream>
#include <random>

#include "app/MainWindowIds.hpp"
#include "frontends/cli/Commands.hpp"
#include "frontends/cli/DeviceRead.hpp"
#include "frontends/cli/ProgressPrinter.hpp"
#include "frontends/cli/RecordJson.hpp"
#include "sim/Sha256.hpp"
#include "sim/SimDevices.hpp"

namespace quillon::cli {
namespace {

using std::chrono::milliseconds;

constexpr std::size_t DEMO_IMAGE_BYTES = 16 * 1024;

bool ReadAll(Session& session) {
    return RequestRead(session, static_cast<int>(app::ReadJudge::NO_ANSWER_MS)) ==
           app::ReadVerdict::Complete;
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

}  // namespace

int RunDemo(const GlobalOptions& globalOptions, sys::SystemServices& services, std::ostream& out,
            std::ostream& err) {
    GlobalOptions options = globalOptions;
    if (options.settingsDir.empty()) {
        options.settingsDir = (std::filesystem::temp_directory_path() /
                               ("quillon-demo-" + std::to_string(::getpid())))
                                  .string();
    }
    std::filesystem::create_directories(options.settingsDir);
    out << "Quillon 演示 — 设置目录 " << options.settingsDir << "\n\n1. 连接设备\n";
    Session session(options, out, services);
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
    window.WriteParameters();
    const protocol::SettingsSections written = window.Record();

    out << "\n4. 读回并比较\n";
    window.Advanced1Page().Record() = {};
    window.ReplayPage().Record() = {};
    const bool readBack = ReadAll(session);
    const bool same = readBack && SameAsWritten(window, written);
    out << "   " << (same ? "读回的参数与写入的一致" : "读回的参数与写入的不同!") << '\n';

    out << "\n5. 升级固件 (生成的 " << DEMO_IMAGE_BYTES << " 字节镜像; 擦除等待 8 秒)\n";
    const auto image = WriteDemoImage(options.settingsDir);
    session.Host().SetFileToOpen(image.string());
    const bool terminal = &out == &std::cout && ::isatty(STDOUT_FILENO) == 1;
    ProgressPrinter printer(out, services.clock, false, terminal);
    const upgrade::UpgradeObserver observer(
        [&printer](const upgrade::UpgradeProgress& progress) { printer.Show(progress); });
    const bool upgraded = window.UpgradeFirmware(&observer).succeeded;
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
