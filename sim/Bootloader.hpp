// The device's boot loader as the simulator plays it: it erases its flash on
// the erase command, takes the program command once the erase has finished,
// and then appends every image data frame to the image, in arrival order.
//
// Frames (given plain, as they travel):
//   erase command       extended remote frame, id 1, no data
//   program command     extended remote frame, id 2, no data
//   image data          standard data frame, id 1, 0..8 bytes
// A program command or image data frame that the boot loader cannot take yet
// (erase still running, no erase before, no program command yet) is lost, as
// on a real device, and counted in LostFrames. So is a data frame longer than 8.
//
// Threading: every member is safe to call from any thread; the simulator feeds
// frames from its own thread while tests and tools read the results.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/kelvix/Kelvix.h"
#include "platform/system/Clock.hpp"
#include "sim/Sha256.hpp"

namespace quillon::sim {

/// What a device remembers of the image it received last.
struct ImageRecord {
    bool present = false;  ///< an erase command started an image
    std::uint64_t length = 0;
    Sha256::Digest sha256{};

    bool operator==(const ImageRecord&) const = default;
};

class Bootloader {
  public:
    /// The erase lasts `eraseMs` milliseconds of `clock` (MonotonicMs) from the
    /// moment its command arrives. `clock` outlives the boot loader.
    Bootloader(sys::Clock& clock, std::uint32_t eraseMs);

    /// Handles one received frame; true when it was an upgrade frame (whether
    /// taken or lost), false for any other frame, which is left alone.
    bool OnFrame(const CanFrameRecord& plainFrame);

    /// The image received since the last erase (empty for a remembered one).
    std::vector<std::uint8_t> Image() const;
    /// Length and SHA-256 (64 lower-case hexadecimal digits) of the image
    /// received since the last erase, or of the remembered one until an erase.
    std::uint64_t ImageLength() const;
    std::string Sha256Hex() const;
    /// The image as a device remembers it between runs.
    ImageRecord Record() const;
    /// Takes a record kept from an earlier run; the next erase forgets it.
    void Remember(const ImageRecord& record);
    /// Upgrade frames dropped since construction or Reset().
    std::uint64_t LostFrames() const;
    /// Image data frames appended since the last erase (frames of length 0 included).
    std::uint64_t FramesReceived() const;
    /// True from the erase command until its time has passed.
    bool Erasing() const;
    /// True once the program command was taken, until the next erase or Reset().
    bool Programming() const;
    /// Back to the state after construction: idle, empty image, counters 0.
    void Reset();

  private:
    enum class State { Idle, Erasing, Programming };

    /// True when the erase that started at eraseStartMs_ has had its time.
    bool EraseDone() const;
    void StartErase();
    void TakeProgramCommand();
    void TakeImageData(const CanFrameRecord& frame);

    sys::Clock& clock_;
    const std::uint32_t eraseMs_;
    mutable std::mutex mutex_;
    State state_ = State::Idle;
    std::uint64_t eraseStartMs_ = 0;
    std::vector<std::uint8_t> image_;
    Sha256 hash_;
    std::uint64_t lostFrames_ = 0;
    std::uint64_t framesReceived_ = 0;
    bool started_ = false;  ///< an erase command arrived since construction or Reset()
    std::optional<ImageRecord> remembered_;
};

}  // namespace quillon::sim
