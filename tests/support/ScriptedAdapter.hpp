// A scripted adapter backend for tests. Every adapter call is recorded with
// its arguments; transmissions can be refused at the k-th frame or shortened;
// prepared frames are handed out by VCI_Receive in batches of its capacity.
//
// Install with ScriptedAdapterScope: it registers the "scripted" backend,
// makes it the adapter the library opens, and restores the library after.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/kelvix/Kelvix.h"

namespace quillon::test {

struct AdapterCall {
    std::string name;  ///< "Open", "Close", "InitCAN", "StartCAN", "Transmit", "Receive", ...
    std::uint32_t index = 0;
    std::uint32_t channel = 0;
    std::uint32_t refType = 0;           ///< SetReference
    std::uint32_t refValue = 0;          ///< SetReference: the 32-bit value behind the pointer
    std::vector<CanFrameRecord> frames;  ///< Transmit: frames passed (as passed)
    CanInitRecord init{};                ///< InitCAN
    std::int64_t result = 0;
};

/// State shared by every scripted adapter of a test.
class ScriptedBus {
  public:
    // Script.
    void FailOpen(bool fail);
    /// The k-th transmitted frame (1-based, counted across calls) is refused:
    /// its call returns the number of frames before it.
    void RefuseFrame(std::size_t k);
    /// Frame k (1-based, counted across calls) and every later one are
    /// refused, as an adapter that dies; 0 refuses nothing again.
    void RefuseFromFrame(std::size_t k);
    /// The n-th Transmit call (1-based) returns `count` whatever it was given.
    void ShortenCall(std::size_t n, std::uint32_t count);
    void FailInit(bool fail);
    /// Runs `action` inside the next Transmit call, after its frames were
    /// accepted and before the call returns (a device that answers at once).
    void DuringNextTransmit(std::function<void()> action);
    /// Queues frames that VCI_Receive hands out on `channel`.
    void Deliver(std::uint32_t channel, std::vector<CanFrameRecord> frames);

    // Observation.
    std::vector<AdapterCall> Calls() const;
    std::vector<AdapterCall> CallsNamed(const std::string& name) const;
    /// Frames accepted by Transmit, in order, with their channel.
    std::vector<std::pair<std::uint32_t, CanFrameRecord>> Transmitted() const;
    std::size_t Pending(std::uint32_t channel) const;
    /// Waits (briefly, for the receive thread) until `predicate` holds.
    bool WaitFor(const std::function<bool()>& predicate,
                 std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;

    // Used by the adapters.
    void Record(AdapterCall call);
    bool OpenFails() const;
    bool InitFails() const;
    std::uint32_t Accept(std::uint32_t index, std::uint32_t channel,
                         const std::vector<CanFrameRecord>& frames);
    std::int32_t TakeFrames(std::uint32_t channel, CanFrameRecord* out, std::uint32_t capacity,
                            std::int32_t waitMs);
    void WakeReceivers();

  private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<AdapterCall> calls_;
    bool failOpen_ = false;
    bool failInit_ = false;
    std::optional<std::size_t> refusedFrame_;
    bool refuseLater_ = false;  ///< frames after refusedFrame_ are refused too
    std::map<std::size_t, std::uint32_t> shortenedCalls_;
    std::size_t transmitCalls_ = 0;
    std::size_t framesOffered_ = 0;
    std::vector<std::pair<std::uint32_t, CanFrameRecord>> transmitted_;
    std::map<std::uint32_t, std::deque<CanFrameRecord>> pending_;
    std::function<void()> duringTransmit_;
};

class ScriptedAdapterScope {
  public:
    ScriptedAdapterScope();
    ~ScriptedAdapterScope();
    ScriptedAdapterScope(const ScriptedAdapterScope&) = delete;
    ScriptedAdapterScope& operator=(const ScriptedAdapterScope&) = delete;

    ScriptedBus& Bus() const { return *bus_; }

  private:
    std::shared_ptr<ScriptedBus> bus_;
};

/// A frame as a device would send it: data bytes given plain, `enciphered` by caller if needed.
CanFrameRecord MakeFrame(std::uint32_t id, bool extended, std::vector<std::uint8_t> data,
                         std::uint8_t dataLen = 8);

}  // namespace quillon::test
