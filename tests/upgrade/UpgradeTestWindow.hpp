// A window with the main window's upgrade controls, its two upgrade buttons
// mapped to the commands, and a record of every progress bar position.
#pragma once

#include <filesystem>
#include <mutex>
#include <vector>

#include "platform/kelvix/Kelvix.h"
#include "platform/system/SystemServices.hpp"
#include "platform/ui/CommandResult.hpp"
#include "platform/ui/Dialog.hpp"
#include "upgrade/UpgradeLink.hpp"
#include "upgrade/UpgradeObserver.hpp"

namespace quillon::test {

/// Opens the adapter as the main window does for an upgrade, without a receive thread.
class FakeUpgradeLink final : public upgrade::UpgradeLink {
  public:
    bool IsRunning() const override { return running; }
    void ConnectForUpgrade() override {
        ++connects;
        VCI_OpenDevice(4, 0, 0);
        VCI_StartCAN(4, 0, 0);
        running = true;
    }

    bool running = false;
    int connects = 0;
};

class UpgradeTestWindow final : public ui::Dialog, private ui::DialogObserver {
  public:
    UpgradeTestWindow(ui::Host& host, sys::SystemServices& services);
    ~UpgradeTestWindow() override;

    /// Every position set on the progress bar, in order.
    std::vector<int> Progress() const;
    /// Every observer event, in order.
    std::vector<upgrade::UpgradeProgress> Events() const;
    /// What the last upgrade or upgrade mode entry returned.
    ui::CommandResult LastResult() const { return lastResult_; }

    FakeUpgradeLink link;

  private:
    void OnControlChanged(const ui::Dialog& dialog, int controlId) override;

    sys::SystemServices& services_;
    upgrade::UpgradeObserver observer_;
    mutable std::mutex mutex_;
    std::vector<int> progress_;
    std::vector<upgrade::UpgradeProgress> events_;
    ui::CommandResult lastResult_{false, "(no command ran)", {}, 0, {}};
};

/// Writes `size` bytes of a pattern that differs from frame to frame.
std::filesystem::path WriteImage(const std::filesystem::path& path, std::size_t size);
std::vector<std::uint8_t> ReadAll(const std::filesystem::path& path);

}  // namespace quillon::test
