#include "upgrade/UpgradeModeEntry.hpp"

#include <string>
#include <string_view>

#include "upgrade/UpgradeFrames.hpp"
#include "upgrade/UpgradeTexts.hpp"

namespace quillon::upgrade {
namespace {

ui::CommandResult Warn(ui::Dialog& window, std::string_view text) {
    window.MessageBox(text, CAPTION_WARNING, ui::MB_ICONQUESTION);
    return {false, std::string(text), CAPTION_WARNING, ui::MB_ICONQUESTION, {}};
}

}  // namespace

CanInitRecord UpgradeInitRecord() {
    CanInitRecord record{};
    record.AccCode = 1;
    record.AccMask = 0x10;
    record.Timing0 = 0xFF;
    record.Timing1 = 0xFF;
    return record;
}

ui::CommandResult EnterUpgradeMode(ui::Dialog& window, UpgradeLink& link,
                                   sys::SystemServices& services) {
    if (!link.IsRunning()) {
        return Warn(window, CONNECT_FIRST);
    }
    ui::CommandResult result{true, {}, {}, 0, {}};
    const CanInitRecord record = UpgradeInitRecord();
    if (VCI_InitCAN(KELVIX_DEVICE_TYPE, UPGRADE_DEVICE_INDEX, UPGRADE_CHANNEL, &record) != 1) {
        result = Warn(window, INIT_CAN_FAILED);
        VCI_CloseDevice(KELVIX_DEVICE_TYPE, UPGRADE_DEVICE_INDEX);
    }
    if (!services.launcher.StartProcess(services.executablePath)) {
        const ui::CommandResult restart = Warn(window, RESTART_FAILED);
        if (result.succeeded) {
            result = restart;
        }
    }
    // This copy ends even when the new one did not start: never two copies.
    window.EndDialog(ui::IDOK);
    return result;
}

}  // namespace quillon::upgrade
