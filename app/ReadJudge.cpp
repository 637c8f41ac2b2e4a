#include "app/ReadJudge.hpp"

#include "protocol/IdentityFrames.hpp"

namespace quillon::app {

void ReadJudge::Start(std::uint64_t nowMs, std::uint64_t noAnswerMs) {
    tally_.Reset();
    judging_ = true;
    startMs_ = nowMs;
    noAnswerMs_ = noAnswerMs;
    completionMs_.reset();
}

void ReadJudge::Add(std::uint32_t channel, const CanFrameRecord& frame, std::uint64_t nowMs) {
    if (!judging_) {
        return;
    }
    tally_.Add(channel, frame);
    if (!completionMs_ && protocol::IsCompletion(frame)) {
        completionMs_ = nowMs;
    }
}

std::optional<ReadVerdict> ReadJudge::PassEnded(std::size_t framesReceived, std::uint64_t nowMs) {
    if (!judging_) {
        return std::nullopt;
    }
    if (completionMs_) {
        // The pass that brought the notice brought at least that frame, so an
        // empty pass began after it: nothing more was on its way.
        if (framesReceived == 0 || nowMs - *completionMs_ >= MAX_SETTLE_MS) {
            return Judge();
        }
        return std::nullopt;
    }
    if (nowMs - startMs_ >= noAnswerMs_) {
        judging_ = false;
        return ReadVerdict::NoAnswer;
    }
    return std::nullopt;
}

ReadVerdict ReadJudge::Judge() {
    judging_ = false;
    return tally_.Missing().empty() ? ReadVerdict::Complete : ReadVerdict::Incomplete;
}

}  // namespace quillon::app
