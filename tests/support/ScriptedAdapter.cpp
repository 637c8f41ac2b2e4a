#include "support/ScriptedAdapter.hpp"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/kelvix/Adapter.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"

namespace quillon::test {
namespace {

// A receive with nothing queued waits at most this long in real time, so the
// receive thread neither spins nor holds up a disconnect.
constexpr std::chrono::milliseconds MAX_IDLE_WAIT{5};

AdapterCall Call(std::string name, std::uint32_t index, std::uint32_t channel,
                 std::int64_t result) {
    AdapterCall call;
    call.name = std::move(name);
    call.index = index;
    call.channel = channel;
    call.result = result;
    return call;
}

class ScriptedAdapter final : public kelvix::Adapter {
  public:
    ScriptedAdapter(std::shared_ptr<ScriptedBus> bus, std::uint32_t index)
        : bus_(std::move(bus)), index_(index) {}

    std::string Open() override {
        const bool fails = bus_->OpenFails();
        bus_->Record(Call("Open", index_, 0, fails ? 0 : 1));
        return fails ? "scripted open failure" : "";
    }
    void Close() override {
        bus_->Record(Call("Close", index_, 0, 1));
        bus_->WakeReceivers();
    }
    bool InitChannel(std::uint32_t channel, const CanInitRecord& init) override {
        const bool ok = !bus_->InitFails();
        AdapterCall call = Call("InitCAN", index_, channel, ok ? 1 : 0);
        call.init = init;
        bus_->Record(std::move(call));
        return ok;
    }
    bool StartChannel(std::uint32_t channel) override {
        bus_->Record(Call("StartCAN", index_, channel, 1));
        return true;
    }
    std::uint32_t Transmit(std::uint32_t channel, std::span<const CanFrameRecord> frames) override {
        return bus_->Accept(index_, channel, {frames.begin(), frames.end()});
    }
    std::int32_t Receive(std::uint32_t channel, std::span<CanFrameRecord> frames,
                         std::int32_t waitMs) override {
        return bus_->TakeFrames(channel, frames.data(), static_cast<std::uint32_t>(frames.size()),
                                waitMs);
    }
    CanErrorRecord TakeError(std::uint32_t channel) override {
        bus_->Record(Call("ReadErrInfo", index_, channel, 1));
        return CanErrorRecord{};
    }
    bool SetReference(std::uint32_t channel, std::uint32_t refType, void* data) override {
        std::uint32_t value = 0;
        if (data != nullptr) {
            std::memcpy(&value, data, sizeof(value));
        }
        AdapterCall call = Call("SetReference", index_, channel, 1);
        call.refType = refType;
        call.refValue = value;
        bus_->Record(std::move(call));
        return true;
    }

  private:
    std::shared_ptr<ScriptedBus> bus_;
    std::uint32_t index_;
};

}  // namespace

void ScriptedBus::FailOpen(bool fail) {
    std::lock_guard lock(mutex_);
    failOpen_ = fail;
}

void ScriptedBus::RefuseFrame(std::size_t k) {
    std::lock_guard lock(mutex_);
    refusedFrame_ = k;
    refuseLater_ = false;
}

void ScriptedBus::RefuseFromFrame(std::size_t k) {
    std::lock_guard lock(mutex_);
    refusedFrame_ = k == 0 ? std::nullopt : std::optional<std::size_t>(k);
    refuseLater_ = true;
}

void ScriptedBus::ShortenCall(std::size_t n, std::uint32_t count) {
    std::lock_guard lock(mutex_);
    shortenedCalls_[n] = count;
}

void ScriptedBus::FailInit(bool fail) {
    std::lock_guard lock(mutex_);
    failInit_ = fail;
}

void ScriptedBus::Deliver(std::uint32_t channel, std::vector<CanFrameRecord> frames) {
    {
        std::lock_guard lock(mutex_);
        auto& queue = pending_[channel];
        queue.insert(queue.end(), frames.begin(), frames.end());
    }
    changed_.notify_all();
}

std::vector<AdapterCall> ScriptedBus::Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

std::vector<AdapterCall> ScriptedBus::CallsNamed(const std::string& name) const {
    std::lock_guard lock(mutex_);
    std::vector<AdapterCall> named;
    std::copy_if(calls_.begin(), calls_.end(), std::back_inserter(named),
                 [&name](const AdapterCall& call) { return call.name == name; });
    return named;
}

std::vector<std::pair<std::uint32_t, CanFrameRecord>> ScriptedBus::Transmitted() const {
    std::lock_guard lock(mutex_);
    return transmitted_;
}

std::size_t ScriptedBus::Pending(std::uint32_t channel) const {
    std::lock_guard lock(mutex_);
    auto found = pending_.find(channel);
    return found == pending_.end() ? 0 : found->second.size();
}

bool ScriptedBus::WaitFor(const std::function<bool()>& predicate,
                          std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock lock(mutex_);
    for (;;) {
        lock.unlock();
        if (predicate()) {
            return true;
        }
        lock.lock();
        if (changed_.wait_until(lock, deadline) == std::cv_status::timeout) {
            lock.unlock();
            return predicate();
        }
    }
}

void ScriptedBus::Record(AdapterCall call) {
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }
    changed_.notify_all();
}

bool ScriptedBus::OpenFails() const {
    std::lock_guard lock(mutex_);
    return failOpen_;
}

bool ScriptedBus::InitFails() const {
    std::lock_guard lock(mutex_);
    return failInit_;
}

std::uint32_t ScriptedBus::Accept(std::uint32_t index, std::uint32_t channel,
                                  const std::vector<CanFrameRecord>& frames) {
    std::uint32_t accepted = 0;
    {
        std::lock_guard lock(mutex_);
        const std::size_t call = ++transmitCalls_;
        for (const auto& frame : frames) {
            const std::size_t position = framesOffered_ + 1;
            if (refusedFrame_ &&
                (position == *refusedFrame_ || (refuseLater_ && position > *refusedFrame_))) {
                ++framesOffered_;
                break;
            }
            ++framesOffered_;
            transmitted_.emplace_back(channel, frame);
            ++accepted;
        }
        if (auto shortened = shortenedCalls_.find(call); shortened != shortenedCalls_.end()) {
            accepted = shortened->second;
        }
        AdapterCall record = Call("Transmit", index, channel, accepted);
        record.frames = frames;
        calls_.push_back(std::move(record));
    }
    changed_.notify_all();
    std::function<void()> hook;
    {
        std::lock_guard lock(mutex_);
        hook = std::exchange(duringTransmit_, nullptr);
    }
    if (hook) {
        hook();
    }
    return accepted;
}

void ScriptedBus::DuringNextTransmit(std::function<void()> action) {
    std::lock_guard lock(mutex_);
    duringTransmit_ = std::move(action);
}

std::int32_t ScriptedBus::TakeFrames(std::uint32_t channel, CanFrameRecord* out,
                                     std::uint32_t capacity, std::int32_t waitMs) {
    std::int32_t count = 0;
    {
        // Recorded as it reaches the adapter: a close that ends the wait comes after it.
        std::unique_lock lock(mutex_);
        const std::size_t call = calls_.size();
        calls_.push_back(Call("Receive", 0, channel, 0));
        auto& queue = pending_[channel];
        if (queue.empty() && waitMs > 0) {
            changed_.wait_for(lock, std::min(std::chrono::milliseconds(waitMs), MAX_IDLE_WAIT));
        }
        while (static_cast<std::uint32_t>(count) < capacity && !queue.empty()) {
            out[count++] = queue.front();
            queue.pop_front();
        }
        calls_[call].result = count;
    }
    changed_.notify_all();
    return count;
}

void ScriptedBus::WakeReceivers() {
    changed_.notify_all();
}

ScriptedAdapterScope::ScriptedAdapterScope() : bus_(std::make_shared<ScriptedBus>()) {
    kelvix::CloseAllAdapters();
    auto bus = bus_;
    kelvix::RegisterBackend("scripted",
                            [bus](const kelvix::AdapterSpec&, std::uint32_t index, std::string&) {
                                return std::make_unique<ScriptedAdapter>(bus, index);
                            });
    kelvix::SetAdapterSpecOverride("scripted");
}

ScriptedAdapterScope::~ScriptedAdapterScope() {
    kelvix::CloseAllAdapters();
}

CanFrameRecord MakeFrame(std::uint32_t id, bool extended, std::vector<std::uint8_t> data,
                         std::uint8_t dataLen) {
    CanFrameRecord frame{};
    frame.ID = id;
    frame.ExternFlag = extended ? 1 : 0;
    frame.DataLen = dataLen;
    std::copy_n(data.begin(), std::min<std::size_t>(data.size(), 8), frame.Data);
    return frame;
}

}  // namespace quillon::test
