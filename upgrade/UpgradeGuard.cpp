#include "upgrade/UpgradeGuard.hpp"

#include <mutex>
#include <set>

#include "upgrade/UpgradeControls.hpp"

namespace quillon::upgrade {
namespace {

constexpr std::array<int, 3> LOCKED_BUTTONS = {IDC_UPGRADE, IDC_ENTER_UPGRADE, IDC_CONNECT};

struct ActiveWindows {
    std::mutex mutex;
    std::set<const ui::Dialog*> windows;
};

ActiveWindows& Active() {
    static ActiveWindows active;
    return active;
}

}  // namespace

UpgradeGuard::UpgradeGuard(ui::Dialog& window) : window_(window) {
    {
        auto& active = Active();
        std::lock_guard lock(active.mutex);
        acquired_ = active.windows.insert(&window).second;
    }
    if (!acquired_) {
        return;
    }
    for (int id : LOCKED_BUTTONS) {
        if (window_.Template().Find(id) != nullptr) {
            saved_[savedCount_++] = {id, window_.IsWindowEnabled(id)};
            window_.EnableWindow(id, false);
        }
    }
}

UpgradeGuard::~UpgradeGuard() {
    if (!acquired_) {
        return;
    }
    for (std::size_t i = 0; i < savedCount_; ++i) {
        window_.EnableWindow(saved_[i].first, saved_[i].second);
    }
    auto& active = Active();
    std::lock_guard lock(active.mutex);
    active.windows.erase(&window_);
}

}  // namespace quillon::upgrade
