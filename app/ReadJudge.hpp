// When a parameter read is over, and how it went. The read is judged at the
// first completion notice after the request, once the frames still on their
// way have come in: a pass of the receive thread over both channels that
// brings nothing ends the wait, and so does MAX_SETTLE_MS after the notice
// (a busy bus never falls silent). Without a completion within the no-answer
// time the device did not answer. Nothing here assumes which channel carries
// the notice, how many notices come, or in which order the replies arrive.
//
// Threading: user-interface thread; times are the caller's monotonic clock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "app/ReadTally.hpp"

namespace quillon::app {

enum class ReadVerdict {
    Complete,    ///< every announced entry arrived
    Incomplete,  ///< an announced entry was lost on the way
    NoAnswer,    ///< no completion notice within the no-answer time
};

class ReadJudge {
  public:
    /// How long a read waits for its completion notice.
    static constexpr std::uint64_t NO_ANSWER_MS = 5000;
    /// How long after the notice late frames are waited for at most.
    static constexpr std::uint64_t MAX_SETTLE_MS = 1000;

    /// A request went out at `nowMs`: forgets the last read and waits up to
    /// `noAnswerMs` for the completion notice.
    void Start(std::uint64_t nowMs, std::uint64_t noAnswerMs = NO_ANSWER_MS);
    /// True from Start until the verdict.
    bool Judging() const { return judging_; }
    /// True once the completion came, until the verdict.
    bool Settling() const { return judging_ && completionMs_.has_value(); }
    /// One deciphered frame of `channel`, decoded at `nowMs`; ignored unless judging.
    void Add(std::uint32_t channel, const CanFrameRecord& frame, std::uint64_t nowMs);
    /// A pass of the receive thread over both channels ended having received
    /// `framesReceived` frames, every one of them already passed to Add; seen
    /// at `nowMs`. Returns the verdict once, when the read is over.
    std::optional<ReadVerdict> PassEnded(std::size_t framesReceived, std::uint64_t nowMs);
    /// What the last read brought against what it announced.
    const ReadTally& Tally() const { return tally_; }

  private:
    ReadVerdict Judge();

    ReadTally tally_;
    bool judging_ = false;
    std::uint64_t startMs_ = 0;
    std::uint64_t noAnswerMs_ = NO_ANSWER_MS;
    std::optional<std::uint64_t> completionMs_;
};

}  // namespace quillon::app
