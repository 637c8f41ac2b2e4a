// What quillon-devsim prints about its device, one line per event:
//   parameter write applied (1 so far): CAN1 enable=1 baudIndex=3, CAN2 enable=0 baudIndex=0, ...
//   DTU record received (48 frames)
//     DTU 0x10: 01 02 03 04 05 06 07 08
//   debug text: "AT+CSQ\r\n"
//   erase command: erasing flash for 2000 ms
//   upgrade: 16384 bytes received
//   upgrade: image received, 65536 bytes in 8192 frames, sha256 3b0c...
// The device's own event lines come through Log(); the rest is found by
// Poll, which compares the device's state with what was printed before.
//
// The device cannot know an image's length: an image counts as received when
// a short data frame ends it, or when no data frame came for IMAGE_QUIET_MS.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <ostream>
#include <string>

#include "platform/system/Clock.hpp"
#include "sim/SimulatedDevice.hpp"

namespace quillon::sim {

class DevsimReport {
  public:
    static constexpr std::uint64_t PROGRESS_STEP_BYTES = 16384;
    static constexpr std::uint64_t IMAGE_QUIET_MS = 500;

    /// `clock` (MonotonicMs) times the quiet period; it outlives the report.
    DevsimReport(std::ostream& out, const sys::Clock& clock);

    /// The device's event log; thread-safe, prints nothing itself.
    SimulatedDevice::EventLog Log();
    /// Prints what happened since the last call. Call from one thread.
    void Poll(const SimulatedDevice& device);

  private:
    void PrintEvent(const std::string& line, const SimulatedDevice& device);
    void PrintDebugText(const SimulatedDevice& device);
    void PrintUpgrade(const SimulatedDevice& device);

    std::ostream& out_;
    const sys::Clock& clock_;
    std::mutex mutex_;
    std::deque<std::string> events_;
    std::size_t debugShown_ = 0;
    std::uint64_t framesSeen_ = 0;
    std::uint64_t lastFrameMs_ = 0;
    std::uint64_t progressShown_ = 0;
    std::uint64_t imageReportedAt_ = 0;  ///< frame count of the last reported image
};

}  // namespace quillon::sim
