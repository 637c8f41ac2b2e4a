// Firmware upgrade and upgrade mode entry from the command line.
#include <unistd.h>

#include <iostream>
#include <nlohmann/json.hpp>
#include <vector>

#include "frontends/cli/Commands.hpp"
#include "frontends/cli/ProgressPrinter.hpp"
#include "platform/system/InputFile.hpp"
#include "platform/system/Utf8Path.hpp"
#include "sim/Sha256.hpp"
#include "upgrade/ImageFile.hpp"

namespace quillon::cli {
namespace {

// The command line has no window to restart: entering upgrade mode ends the
// session instead, and the next quillon-cli upgrade opens the adapter anew.
class NoRestartLauncher final : public sys::ProcessLauncher {
  public:
    bool StartProcess(const std::filesystem::path&) override { return true; }
};

std::string ImageProblem(const std::string& image) {
    const sys::InputFileBytes head = sys::ReadInputFile(sys::PathFromUtf8(image), 1);
    if (!head.ok) {
        return head.error;
    }
    return head.bytes.empty() ? "firmware image " + image + " is empty" : std::string();
}

// Length and SHA-256 of the image as it is on disk now, so a user can hold
// them against what the device reports. Empty digest when it cannot be read.
struct ImageSummary {
    std::uint64_t bytes = 0;
    std::string sha256;
};

ImageSummary SummariseImage(const std::string& image) {
    upgrade::ImageFile file;
    if (!file.Open(sys::PathFromUtf8(image))) {
        return {};
    }
    sim::Sha256 hash;
    std::vector<std::uint8_t> block(64 * 1024);
    ImageSummary summary;
    while (const auto read = file.Read(block)) {
        if (*read == 0) {
            return {summary.bytes, sim::Sha256::Hex(hash.Finish())};
        }
        hash.Update(std::span(block).first(*read));
        summary.bytes += *read;
    }
    return {};
}

}  // namespace

int RunUpgrade(const GlobalOptions& options, const std::string& image,
               sys::SystemServices& services, std::ostream& out, std::ostream& err) {
    // A missing, empty or unreadable image is refused before the device is
    // touched: an erase followed by nothing would leave it without firmware.
    if (std::string problem = ImageProblem(image); !problem.empty()) {
        err << "quillon-cli upgrade: " << problem << '\n';
        return EXIT_BAD_FILE;
    }
    Session session(options, out, err, services);
    session.Host().SetFileToOpen(image);
    const bool terminal = &out == &std::cout && ::isatty(STDOUT_FILENO) == 1;
    ProgressPrinter printer(out, services.clock, options.json, terminal);
    const upgrade::UpgradeObserver observer(
        [&printer](const upgrade::UpgradeProgress& progress) { printer.Show(progress); });
    const app::CommandResult result = session.Window().UpgradeFirmware(&observer);
    session.Host().Settle(result);
    session.Disconnect();
    if (!result.succeeded) {
        err << "quillon-cli upgrade: the upgrade of " << image << " failed\n";
        return EXIT_FAILED;
    }
    const ImageSummary summary = SummariseImage(image);
    if (options.json) {
        out << nlohmann::ordered_json{{"image", image},
                                      {"bytes", summary.bytes},
                                      {"sha256", summary.sha256}}
                   .dump()
            << '\n';
    } else {
        out << result.status << '\n'
            << "镜像 " << summary.bytes << " 字节, SHA-256 " << summary.sha256 << '\n';
    }
    return EXIT_OK;
}

int RunEnterUpgrade(const GlobalOptions& options, sys::SystemServices& services, std::ostream& out,
                    std::ostream& err) {
    NoRestartLauncher launcher;
    sys::SystemServices withoutRestart{
        services.clock,     services.sleeper,          launcher,
        services.documents, services.programDirectory, services.executablePath,
        services.codePages};
    Session session(options, out, err, withoutRestart);
    if (!session.Connect(err)) {
        return EXIT_NO_ADAPTER;
    }
    const app::CommandResult entered = session.Window().EnterUpgradeMode();
    session.Host().Settle(entered);
    if (!entered.succeeded) {
        return EXIT_FAILED;
    }
    out << "适配器通道已按升级模式初始化；接着运行 quillon-cli upgrade IMAGE\n";
    return EXIT_OK;
}

}  // namespace quillon::cli
