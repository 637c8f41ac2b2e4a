#include "sim/Bootloader.hpp"

#include <span>

#include "protocol/FirmwareFrames.hpp"

namespace quillon::sim {

Bootloader::Bootloader(sys::Clock& clock, std::uint32_t eraseMs)
    : clock_(clock), eraseMs_(eraseMs) {}

bool Bootloader::OnFrame(const CanFrameRecord& plainFrame) {
    std::lock_guard lock(mutex_);
    if (protocol::IsEraseCommand(plainFrame)) {
        StartErase();
    } else if (protocol::IsProgramCommand(plainFrame)) {
        TakeProgramCommand();
    } else if (protocol::IsImageDataFrame(plainFrame)) {
        TakeImageData(plainFrame);
    } else {
        return false;
    }
    return true;
}

void Bootloader::StartErase() {
    state_ = State::Erasing;
    eraseStartMs_ = clock_.MonotonicMs();
    image_.clear();
    hash_.Reset();
    framesReceived_ = 0;
    started_ = true;
    remembered_.reset();
}

// Busy erasing, or never erased: the command goes unheard.
void Bootloader::TakeProgramCommand() {
    if (state_ == State::Erasing && EraseDone()) {
        state_ = State::Programming;
    } else {
        ++lostFrames_;
    }
}

void Bootloader::TakeImageData(const CanFrameRecord& frame) {
    if (state_ != State::Programming || frame.DataLen > protocol::IMAGE_DATA_MAX_BYTES) {
        ++lostFrames_;
        return;
    }
    const std::span<const std::uint8_t> bytes(frame.Data, frame.DataLen);
    image_.insert(image_.end(), bytes.begin(), bytes.end());
    hash_.Update(bytes);
    ++framesReceived_;
}

bool Bootloader::EraseDone() const {
    return clock_.MonotonicMs() - eraseStartMs_ >= eraseMs_;
}

std::vector<std::uint8_t> Bootloader::Image() const {
    std::lock_guard lock(mutex_);
    return image_;
}

std::uint64_t Bootloader::ImageLength() const {
    return Record().length;
}

std::string Bootloader::Sha256Hex() const {
    return Sha256::Hex(Record().sha256);
}

ImageRecord Bootloader::Record() const {
    std::lock_guard lock(mutex_);
    if (remembered_) {
        return *remembered_;
    }
    return {started_, image_.size(), hash_.Finish()};
}

void Bootloader::Remember(const ImageRecord& record) {
    std::lock_guard lock(mutex_);
    remembered_ = record;
}

std::uint64_t Bootloader::LostFrames() const {
    std::lock_guard lock(mutex_);
    return lostFrames_;
}

std::uint64_t Bootloader::FramesReceived() const {
    std::lock_guard lock(mutex_);
    return framesReceived_;
}

bool Bootloader::Erasing() const {
    std::lock_guard lock(mutex_);
    return state_ == State::Erasing && !EraseDone();
}

bool Bootloader::Programming() const {
    std::lock_guard lock(mutex_);
    return state_ == State::Programming;
}

void Bootloader::Reset() {
    std::lock_guard lock(mutex_);
    state_ = State::Idle;
    eraseStartMs_ = 0;
    image_.clear();
    hash_.Reset();
    lostFrames_ = 0;
    framesReceived_ = 0;
    started_ = false;
    remembered_.reset();
}

}  // namespace quillon::sim
