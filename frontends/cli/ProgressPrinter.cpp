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
    rate_ = Rate(progress);
    finished_ = progress.phase == UpgradePhase::Done || progress.phase == UpgradePhase::Failed;
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

double ProgressPrinter::Rate(const upgrade::UpgradeProgress& progress) {
    if (progress.phase != UpgradePhase::Writing && progress.phase != UpgradePhase::Done) {
        samples_.clear();
        return 0;
    }
    const std::uint64_t nowMs = clock_.MonotonicMs();
    samples_.emplace_back(nowMs, progress.bytesSent);
    while (samples_.size() > 2 && nowMs - samples_[1].first >= RATE_WINDOW_MS) {
        samples_.pop_front();
    }
    const auto& [firstMs, firstBytes] = samples_.front();
    if (nowMs == firstMs) {
        return 0;
    }
    return static_cast<double>(progress.bytesSent - firstBytes) * 1000.0 /
           static_cast<double>(nowMs - firstMs);
}

void ProgressPrinter::ShowJson(const upgrade::UpgradeProgress& progress) {
    nlohmann::ordered_json event = {{"phase", upgrade::PhaseName(progress.phase)},
                                    {"percent", progress.percent},
                                    {"bytesSent", progress.bytesSent},
                                    {"framesSent", progress.framesSent}};
    if (progress.phase == UpgradePhase::Failed) {
        event["failure"] = progress.failure;
    }
    if (progress.phase == UpgradePhase::Erasing) {
        event["waitLeftMs"] = progress.waitLeftMs;
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
    const double rate = rate_;
    const double remaining =
        rate > 0 ? static_cast<double>(progress.totalBytes - progress.bytesSent) / rate : 0;
    char line[160];
    if (progress.phase == UpgradePhase::Erasing) {
        // Nothing is sent while the device erases: the wait is the news.
        std::snprintf(line, sizeof(line), "%-8s [%s] %3d%%  erase wait, %.1f s left",
                      upgrade::PhaseName(progress.phase), bar.c_str(), progress.percent,
                      static_cast<double>(progress.waitLeftMs) / 1000.0);
    } else {
        std::snprintf(line, sizeof(line), "%-8s [%s] %3d%%  %llu/%llu B  %.1f KiB/s  %.0f s left",
                      upgrade::PhaseName(progress.phase), bar.c_str(), progress.percent,
                      static_cast<unsigned long long>(progress.bytesSent),
                      static_cast<unsigned long long>(progress.totalBytes), rate / 1024.0,
                      remaining);
    }
    const bool last = progress.phase == UpgradePhase::Done;
    if (terminal_) {
        out_ << '\r' << line << (last ? "\n" : "") << std::flush;
    } else if (last || progress.percent % 10 == 0) {
        out_ << line << '\n';
    }
}

}  // namespace quillon::cli
