#include "upgrade/FirmwareTransfer.hpp"

#include <algorithm>
#include <vector>

#include "platform/ui/Host.hpp"
#include "upgrade/UpgradeControls.hpp"
#include "upgrade/UpgradeFrames.hpp"
#include "upgrade/UpgradeTexts.hpp"

namespace quillon::upgrade {

static_assert(FirmwareTransfer::BLOCK_BYTES % MAX_FRAME_BYTES == 0,
              "only the last frame of an image may be short");

FirmwareTransfer::FirmwareTransfer(ui::Dialog& window, sys::Sleeper& sleeper, ImageFile& image,
                                   const UpgradeObserver* observer, const std::atomic<bool>* stop)
    : window_(window), sleeper_(sleeper), image_(image), observer_(observer), stop_(stop) {}

ui::CommandResult FirmwareTransfer::Run() {
    Transfer();
    return result_;
}

bool FirmwareTransfer::Transfer() {
    SetProgress(0);
    if (!Erase()) {
        return false;
    }
    WaitForErase();
    if (Stopped() || !Program() || !StreamImage()) {
        return false;
    }
    Finish();
    return true;
}

bool FirmwareTransfer::Erase() {
    if (TransmitUpgradeFrame(MakeEraseCommand())) {
        return true;
    }
    image_.Close();
    Warn(SEND_FAILED);
    return false;
}

// The device erases its flash meanwhile; it sends nothing back, so the wait
// is fixed: 50 steps of 160 ms, 8 s in all.
void FirmwareTransfer::WaitForErase() {
    window_.SetDlgItemText(IDC_STATUS, STATUS_ERASING);
    SetProgress(0);
    for (int step = 0; step < ERASE_STEPS; ++step) {
        waitLeftMs_ = static_cast<std::uint64_t>(ERASE_STEPS - step) * ERASE_STEP_MS;
        SetProgress(2 * step);
        Pump();
        if (stop_ != nullptr && stop_->load()) {
            return;
        }
        sleeper_.SleepMs(ERASE_STEP_MS);
    }
    waitLeftMs_ = 0;
}

bool FirmwareTransfer::Program() {
    if (!TransmitUpgradeFrame(MakeProgramCommand())) {
        image_.Close();
        Warn(SEND_FAILED);
        return false;
    }
    window_.SetDlgItemText(IDC_UPGRADE_MODE, MODE_RAW);
    phase_ = UpgradePhase::Writing;
    SetProgress(0);
    window_.SetDlgItemText(IDC_STATUS, STATUS_WRITING);
    bytesSent_ = 0;
    return true;
}

bool FirmwareTransfer::StreamImage() {
    std::vector<std::uint8_t> block(BLOCK_BYTES);
    for (;;) {
        const auto read = image_.Read(block);
        if (!read) {
            Warn(READ_IMAGE_FAILED);
            image_.Close();
            return false;
        }
        if (!SendBlock(std::span(block).first(*read))) {
            return false;
        }
        sleeper_.SleepMs(BLOCK_PAUSE_MS);
        Pump();
        if (*read < BLOCK_BYTES) {
            return true;
        }
        if (Stopped()) {
            return false;
        }
    }
}

// An empty block (the read after an image of whole blocks) still sends one
// frame of length 0: the device's boot loader expects it.
bool FirmwareTransfer::SendBlock(std::span<const std::uint8_t> block) {
    std::size_t position = 0;
    for (;;) {
        const std::size_t length = std::min(MAX_FRAME_BYTES, block.size() - position);
        if (!TransmitUpgradeFrame(MakeImageDataFrame(block.subspan(position, length)))) {
            Warn(SEND_FAILED);
            image_.Close();
            return false;
        }
        position += length;
        bytesSent_ += length;
        ++framesSent_;
        ShowWritten();
        if (position >= block.size()) {
            return true;
        }
        Pump();
        if (Stopped()) {
            return false;
        }
    }
}

void FirmwareTransfer::Finish() {
    SetProgress(100);
    window_.SetDlgItemText(IDC_STATUS, STATUS_POWER_CYCLE);
    result_ = {true, {}, {}, 0, STATUS_POWER_CYCLE};
    image_.Close();
    Report(UpgradePhase::Done);
}

void FirmwareTransfer::Warn(std::string_view text) {
    window_.MessageBox(text, CAPTION_WARNING, ui::MB_ICONQUESTION);
    result_ = {false, std::string(text), CAPTION_WARNING, ui::MB_ICONQUESTION, {}};
    Report(UpgradePhase::Failed, text);
}

void FirmwareTransfer::SetProgress(int percent) {
    percent_ = percent;
    window_.SetPos(IDC_PROGRESS, percent);
    Report(phase_);
}

// The bar moves once per percent, about every thousand frames of a large
// image: setting it to the value it holds changes nothing on the screen.
void FirmwareTransfer::ShowWritten() {
    const int percent = WrittenPercent();
    if (percent != percent_) {
        SetProgress(percent);
    } else {
        Report(phase_);
    }
}

// Bytes sent x 100 / length in unsigned 64-bit arithmetic, truncated. A file
// that grew after it was measured must not push the bar past its range.
int FirmwareTransfer::WrittenPercent() const {
    const std::uint64_t percent = bytesSent_ * 100 / image_.Length();
    return static_cast<int>(std::min<std::uint64_t>(percent, 100));
}

void FirmwareTransfer::Report(UpgradePhase phase, std::string_view failure) {
    if (observer_ == nullptr) {
        return;
    }
    observer_->Notify(UpgradeProgress{phase, percent_, bytesSent_, framesSent_, image_.Length(),
                                      std::string(failure), waitLeftMs_});
}

bool FirmwareTransfer::Stopped() {
    if (stop_ == nullptr || !stop_->load()) {
        return false;
    }
    window_.SetDlgItemText(IDC_STATUS, STATUS_STOPPED);
    result_ = {false, {}, {}, 0, STATUS_STOPPED};
    image_.Close();
    Report(UpgradePhase::Failed, STATUS_STOPPED);
    return true;
}

void FirmwareTransfer::Pump() {
    window_.GetHost().PumpMessages();
}

}  // namespace quillon::upgrade
