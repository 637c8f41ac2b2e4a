// The "升级固件" command (button 1177): the user picks an image file and the
// program streams it, unchanged, into the device's boot loader.
#pragma once

#include <atomic>

#include "platform/system/SystemServices.hpp"
#include "platform/ui/CommandResult.hpp"
#include "platform/ui/Dialog.hpp"
#include "upgrade/UpgradeLink.hpp"
#include "upgrade/UpgradeObserver.hpp"

namespace quillon::upgrade {

/// Runs the whole upgrade on the user-interface thread, pumping the window's
/// messages as it goes. Cancelling the file dialog changes nothing. A
/// disconnected link is opened with `link.ConnectForUpgrade()` once a file has
/// been chosen. An empty image is refused before anything is sent. While it
/// runs, buttons 1177, 1221 and 1028 are disabled and a second call for the
/// same window returns at once. `services.sleeper` paces the erase wait and
/// the pause between blocks. `observer`, when given, sees every progress change
/// and the outcome. When `stop` (optional) becomes true, the transfer ends after
/// the frame or erase step in progress, with STATUS_STOPPED on the status line
/// and no box. Returns how it ended (a cancelled file dialog or a second call
/// while one runs: not succeeded, nothing shown).
ui::CommandResult UpgradeFirmware(ui::Dialog& window, UpgradeLink& link,
                                  sys::SystemServices& services,
                                  const UpgradeObserver* observer = nullptr,
                                  const std::atomic<bool>* stop = nullptr);

}  // namespace quillon::upgrade
