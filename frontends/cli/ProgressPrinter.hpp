// Upgrade progress for people and scripts. On a terminal: one line redrawn in
// place with phase, percent, bytes, rate and remaining time. With --json: one
// object per line whenever the phase or the percentage changes, e.g.
//   {"phase":"writing","percent":42,"bytesSent":42000,"framesSent":5250}
#pragma once

#include <cstdint>
#include <ostream>

#include "platform/system/Clock.hpp"
#include "upgrade/UpgradeObserver.hpp"

namespace quillon::cli {

class ProgressPrinter {
  public:
    ProgressPrinter(std::ostream& out, const sys::Clock& clock, bool json, bool terminal);

    void Show(const upgrade::UpgradeProgress& progress);
    /// The outcome seen last: Done, Failed, or nothing yet.
    bool Finished() const { return finished_; }
    bool Succeeded() const { return succeeded_; }

  private:
    void ShowJson(const upgrade::UpgradeProgress& progress);
    void ShowBar(const upgrade::UpgradeProgress& progress);

    std::ostream& out_;
    const sys::Clock& clock_;
    bool json_;
    bool terminal_;
    bool finished_ = false;
    bool succeeded_ = false;
    int lastPercent_ = -1;
    upgrade::UpgradePhase lastPhase_ = upgrade::UpgradePhase::Failed;
    std::uint64_t writeStartMs_ = 0;
};

}  // namespace quillon::cli
