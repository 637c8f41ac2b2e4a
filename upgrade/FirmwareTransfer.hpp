// One firmware transfer from an opened image: erase command, the fixed erase
// wait, program command, then the image in data frames of up to 8 bytes.
//
// The window's progress bar, status line and mode label follow the transfer;
// the message queue is pumped at fixed points so the window stays alive. The
// device is never listened to: only the adapter's acceptance of each frame
// counts. Every failure shows its box and closes the image.
//
// Threading: user-interface thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/system/Sleeper.hpp"
#include "platform/ui/CommandResult.hpp"
#include "platform/ui/Dialog.hpp"
#include "upgrade/ImageFile.hpp"
#include "upgrade/UpgradeObserver.hpp"

namespace quillon::upgrade {

class FirmwareTransfer {
  public:
    /// Bytes read from the image at a time; a multiple of 8.
    static constexpr std::size_t BLOCK_BYTES = 16000;
    static constexpr int ERASE_STEPS = 50;
    static constexpr std::uint32_t ERASE_STEP_MS = 160;
    static constexpr std::uint32_t BLOCK_PAUSE_MS = 1;

    /// `image` is open and not empty; all references outlive the transfer. `stop`
    /// (optional) asks the transfer to end after the current frame or erase step.
    FirmwareTransfer(ui::Dialog& window, sys::Sleeper& sleeper, ImageFile& image,
                     const UpgradeObserver* observer, const std::atomic<bool>* stop = nullptr);

    /// Runs the whole transfer. Succeeded when every frame was accepted; a
    /// refused frame gives the box it showed, a stop the status it left.
    ui::CommandResult Run();

  private:
    bool Transfer();
    bool Erase();
    void WaitForErase();
    bool Program();
    bool StreamImage();
    bool SendBlock(std::span<const std::uint8_t> block);
    void Finish();
    /// Shows `text` as a warning box and keeps it as the result.
    void Warn(std::string_view text);
    void SetProgress(int percent);
    /// After an image data frame: the bar when its percent changed, the observer always.
    void ShowWritten();
    int WrittenPercent() const;
    void Report(UpgradePhase phase, std::string_view failure = {});
    void Pump();
    /// True, after ending the transfer with STATUS_STOPPED, when a stop was asked for.
    bool Stopped();

    ui::Dialog& window_;
    sys::Sleeper& sleeper_;
    ImageFile& image_;
    const UpgradeObserver* observer_;
    const std::atomic<bool>* stop_;
    UpgradePhase phase_ = UpgradePhase::Erasing;
    int percent_ = 0;
    std::uint64_t waitLeftMs_ = std::uint64_t{ERASE_STEPS} * ERASE_STEP_MS;  // all still ahead
    std::uint64_t bytesSent_ = 0;
    std::uint64_t framesSent_ = 0;
    ui::CommandResult result_;
};

}  // namespace quillon::upgrade
