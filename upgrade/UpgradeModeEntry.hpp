// The "进入升级模式" command (button 1221): re-initialise the adapter channel
// for the boot loader, start a fresh copy of the program and close this one.
#pragma once

#include "platform/kelvix/Kelvix.h"
#include "platform/system/SystemServices.hpp"
#include "platform/ui/CommandResult.hpp"
#include "platform/ui/Dialog.hpp"
#include "upgrade/UpgradeLink.hpp"

namespace quillon::upgrade {

/// The channel initialisation the boot loader needs: AccCode 1, AccMask 0x10,
/// Timing0 and Timing1 0xFF, everything else 0.
CanInitRecord UpgradeInitRecord();

/// When the link is not running: "请先连接设备!" and nothing else. Otherwise
/// VCI_InitCAN on adapter 0, channel 0, with UpgradeInitRecord() (on refusal
/// a box and VCI_CloseDevice), start `services.executablePath` without arguments
/// through `services.launcher` (a box if that fails), and end `window` with
/// IDOK whether or not the new copy started, so at most one copy stays.
/// Returns the first box shown, or success when none was.
ui::CommandResult EnterUpgradeMode(ui::Dialog& window, UpgradeLink& link,
                                   sys::SystemServices& services);

}  // namespace quillon::upgrade
