// A replayer playing its list: which frames of which stored files go out, on
// which channel and when. Pulls frames from the files one at a time, so a long
// file costs no memory.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "behaviour/ModelReport.hpp"
#include "protocol/CanPara.hpp"
#include "protocol/ReplayPara.hpp"
#include "protocol/TimedFrame.hpp"

namespace quillon::behaviour {

/// The frames of one stored file in file order; nothing at its end.
class FrameReader {
  public:
    virtual ~FrameReader() = default;
    virtual std::optional<protocol::TimedFrame> Next() = 0;
};

/// Opens the stored file of the replay entry NAME; nullptr when there is none.
using FileOpener = std::function<std::unique_ptr<FrameReader>(const std::string& name)>;

/// The entry's file name: the bytes of `fileName` up to its first zero.
std::string ReplayFileName(const protocol::ReplayRule& rule);

class ReplayPlayer {
  public:
    /// The list plays `repeatAll` times (0: once), each of its first `ruleCount`
    /// entries `times` times (0: once) with `intervalSec` between plays of one
    /// entry and no pause between entries; the first play starts at `startUs`.
    ReplayPlayer(const protocol::ReplayPara& replay,
                 const std::array<protocol::CanPara, 2>& channels, FileOpener open,
                 std::int64_t startUs);

    /// The next frame sent, at its time on its channel; nothing when the list is done.
    std::optional<protocol::TimedFrame> Next();

    /// Per entry: frames of its channels (matched), sent (passed), dropped, missing files.
    const std::vector<RuleCounts>& Counts() const { return counts_; }

  private:
    bool StartPlay();
    void EndPlay();
    void AdvanceEntry();
    int SendChannel(int recorded) const;

    std::vector<protocol::ReplayRule> entries_;
    std::uint8_t sendMode_;
    std::array<protocol::CanPara, 2> channels_;
    FileOpener open_;
    std::uint32_t rounds_;
    std::vector<RuleCounts> counts_;

    std::uint32_t round_ = 0;
    std::size_t entry_ = 0;
    std::uint32_t play_ = 0;
    std::unique_ptr<FrameReader> reader_;
    std::int64_t playStartUs_;
    std::optional<std::int64_t> firstUs_;
    std::int64_t lastUs_ = 0;
};

}  // namespace quillon::behaviour
