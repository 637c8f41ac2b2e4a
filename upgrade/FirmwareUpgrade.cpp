#include "upgrade/FirmwareUpgrade.hpp"

#include <string>
#include <string_view>

#include "platform/system/Utf8Path.hpp"
#include "platform/ui/Host.hpp"
#include "upgrade/FirmwareTransfer.hpp"
#include "upgrade/ImageFile.hpp"
#include "upgrade/UpgradeGuard.hpp"
#include "upgrade/UpgradeTexts.hpp"

namespace quillon::upgrade {
namespace {

ui::CommandResult Refuse(ui::Dialog& window, std::string_view text,
                         const UpgradeObserver* observer) {
    window.MessageBox(text, CAPTION_WARNING, ui::MB_ICONQUESTION);
    if (observer != nullptr) {
        UpgradeProgress outcome;
        outcome.phase = UpgradePhase::Failed;
        outcome.failure = std::string(text);
        observer->Notify(outcome);
    }
    return {false, std::string(text), CAPTION_WARNING, ui::MB_ICONQUESTION, {}};
}

}  // namespace

ui::CommandResult UpgradeFirmware(ui::Dialog& window, UpgradeLink& link,
                                  sys::SystemServices& services, const UpgradeObserver* observer,
                                  const std::atomic<bool>* stop) {
    UpgradeGuard guard(window);
    if (!guard.Acquired()) {
        return {};
    }
    const auto path = window.GetHost().OpenFileDialog(&window, IMAGE_FILE_FILTER);
    if (!path) {
        return {};
    }
    // The link is opened before the file, and stays open even if the file fails.
    if (!link.IsRunning()) {
        link.ConnectForUpgrade();
    }
    ImageFile image;
    if (!image.Open(sys::PathFromUtf8(*path))) {
        return Refuse(window, OPEN_IMAGE_FAILED, observer);
    }
    // Nothing to program, and no length to measure progress against.
    if (image.Length() == 0) {
        image.Close();
        return Refuse(window, IMAGE_EMPTY, observer);
    }
    return FirmwareTransfer(window, services.sleeper, image, observer, stop).Run();
}

}  // namespace quillon::upgrade
