// Keeps a running upgrade from being started again while it pumps messages.
//
// While a guard holds a window, the upgrade, upgrade-mode and connect buttons
// are disabled (so queued clicks on them are ignored) and any further guard on
// the same window is refused. The destructor gives every button back the
// enabled state it had, on every exit path.
//
// Threading: user-interface thread.
#pragma once

#include <array>
#include <utility>

#include "platform/ui/Dialog.hpp"

namespace quillon::upgrade {

class UpgradeGuard {
  public:
    explicit UpgradeGuard(ui::Dialog& window);
    ~UpgradeGuard();
    UpgradeGuard(const UpgradeGuard&) = delete;
    UpgradeGuard& operator=(const UpgradeGuard&) = delete;

    /// False when an upgrade already runs on this window: do nothing then.
    bool Acquired() const { return acquired_; }

  private:
    ui::Dialog& window_;
    bool acquired_ = false;
    /// Button id and the enabled state it had before.
    std::array<std::pair<int, bool>, 3> saved_{};
    std::size_t savedCount_ = 0;
};

}  // namespace quillon::upgrade
