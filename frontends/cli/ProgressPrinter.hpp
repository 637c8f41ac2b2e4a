// Upgrade progress for people and scripts. On a terminal: one line redrawn in
// place with phase, percent, bytes, rate and remaining time. The rate is the
// image bytes the adapter accepted over the last RATE_WINDOW_MS of the
// writing phase (the adapter paces the transfer, so this is the bus's rate),
// and the time left is what remains at that rate. With --json: one
// object per line whenever the phase or the percentage changes, e.g.
//   {"phase":"writing","percent":42,"bytesSent":42000,"framesSent":5250}
#pragma once

#include <cstdint>
#include <deque>
#include <ostream>
#include <utility>

#include "platform/system/Clock.hpp"
#include "upgrade/UpgradeObserver.hpp"

namespace quillon::cli {

class ProgressPrinter {
  public:
    static constexpr std::uint64_t RATE_WINDOW_MS = 3000;

    ProgressPrinter(std::ostream& out, const sys::Clock& clock, bool json, bool terminal);

    void Show(const upgrade::UpgradeProgress& progress);
    /// The outcome seen last: Done, Failed, or nothing yet.
    bool Finished() const { return finished_; }

  private:
    void ShowJson(const upgrade::UpgradeProgress& progress);
    void ShowBar(const upgrade::UpgradeProgress& progress);
    /// Records the bytes sent now; returns bytes per second over the window, 0 while unknown.
    double Rate(const upgrade::UpgradeProgress& progress);

    std::ostream& out_;
    const sys::Clock& clock_;
    bool json_;
    bool terminal_;
    bool finished_ = false;
    int lastPercent_ = -1;
    upgrade::UpgradePhase lastPhase_ = upgrade::UpgradePhase::Failed;
    std::deque<std::pair<std::uint64_t, std::uint64_t>> samples_;  ///< (ms, bytes sent)
    double rate_ = 0;
};

}  // namespace quillon::cli
