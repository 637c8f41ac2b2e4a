#include "frontends/cli/ProgressPrinter.hpp"

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

namespace quillon::cli {

using upgrade::UpgradePhase;

ProgressPrinter::ProgressPrinter(std::ostream& out, const sys::Clock& clock, bool json,
                                 bool terminal)
    : out_(out), clock_(clock), json_(json), terminal_(terminal) {}

void ProgressPrinter::Show(const upgrade::UpgradeProgress& progress) {
    const bool changed = progress.phase != lastPhase_ || progress.percent != lastPercent_;
    if (progress.phase == UpgradePhase::Writing && lastPhase_ != UpgradePhase::Writing) {
        writeStartMs_ = clock_.MonotonicMs();
    }
    finished_ = progress.phase == UpgradePhase::Done || progress.phase == UpgradePhase::Failed;
    succeeded_ = progress.phase == UpgradePhase::Done;
    if (!changed) {
        return;
    }
    lastPhase_ = progress.phase;
    lastPercent_ = progress.percent;
    if (json_) {
        ShowJson(progress);
    } else {
        ShowBar(progress);
    }
}

void ProgressPrinter::ShowJson(const upgrade::UpgradeProgress& progress) {
    nlohmann::ordered_json event = {{"phase", upgrade::PhaseName(progress.phase)},
                                    {"percent", progress.percent},
                                    {"bytesSent", progress.bytesSent},
                                    {"framesSent", progress.framesSent}};
    if (progress.phase == UpgradePhase::Failed) {
        event["failure"] = progress.failure;
    }
    out_ << event.dump() << '\n' << std::flush;
}

void ProgressPrinter::ShowBar(const upgrade::UpgradeProgress& progress) {
    if (progress.phase == UpgradePhase::Failed) {
        out_ << (terminal_ ? "\n" : "") << "升级失败: " << progress.failure << '\n';
        return;
    }
    constexpr int WIDTH = 30;
    const int filled = progress.percent * WIDTH / 100;
    const std::string bar = std::string(static_cast<std::size_t>(filled), '#') +
                            std::string(static_cast<std::size_t>(WIDTH - filled), '.');
    const double seconds = static_cast<double>(clock_.MonotonicMs() - writeStartMs_) / 1000.0;
    const double rate =
        seconds > 0 && progress.phase != UpgradePhase::Erasing ? progress.bytesSent / seconds : 0;
    const double remaining =
        rate > 0 ? static_cast<double>(progress.totalBytes - progress.bytesSent) / rate : 0;
    char line[160];
    std::snprintf(line, sizeof(line), "%-8s [%s] %3d%%  %llu/%llu B  %.1f KiB/s  %.0f s left",
                  upgrade::PhaseName(progress.phase), bar.c_str(), progress.percent,
                  static_cast<unsigned long long>(progress.bytesSent),
                  static_cast<unsigned long long>(progress.totalBytes), rate / 1024.0, remaining);
    const bool last = progress.phase == UpgradePhase::Done;
    if (terminal_) {
        out_ << '\r' << line << (last ? "\n" : "") << std::flush;
    } else if (last || progress.percent % 10 == 0) {
        out_ << line << '\n';
    }
}

}  // namespace quillon::cli
