// Fake system services: a settable clock, a sleep that only records, and
// launchers that record what they were asked to start.
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/system/SystemServices.hpp"

namespace quillon::test {

class FakeClock final : public sys::Clock {
  public:
    sys::LocalTime Now() const override;
    std::uint64_t MonotonicMs() const override { return monotonicMs_.load(); }
    std::uint64_t UnixTimeUs() const override { return unixTimeUs_.load(); }
    void Set(const sys::LocalTime& time);
    void SetUnixTimeUs(std::uint64_t us) { unixTimeUs_ = us; }
    /// Moves the monotonic count and Unix time on; the calendar stays as set.
    void AdvanceMs(std::uint64_t ms) {
        monotonicMs_ += ms;
        unixTimeUs_ += ms * 1000;
    }

  private:
    mutable std::mutex mutex_;
    sys::LocalTime now_{2026, 12, 7, 10, 30, 15, 0};
    std::atomic<std::uint64_t> monotonicMs_{0};
    std::atomic<std::uint64_t> unixTimeUs_{1'796'639'415'000'000};  ///< now_, read as UTC
};

/// Records every sleep and advances the fake clock instead of waiting.
class FakeSleeper final : public sys::Sleeper {
  public:
    explicit FakeSleeper(FakeClock* clock = nullptr) : clock_(clock) {}
    void SleepMs(std::uint32_t durationMs) override;
    /// Sleeps requested from any thread, in order.
    std::vector<std::uint32_t> Sleeps() const;
    /// Sleeps of exactly `durationMs` requested so far.
    std::size_t CountOf(std::uint32_t durationMs) const;
    /// Runs on the sleeping thread for each sleep (e.g. to observe a wait).
    void SetHook(std::function<void(std::uint32_t)> hook);

  private:
    FakeClock* clock_;
    mutable std::mutex mutex_;
    std::vector<std::uint32_t> sleeps_;
    std::function<void(std::uint32_t)> hook_;
};

class FakeLauncher final : public sys::ProcessLauncher, public sys::DocumentOpener {
  public:
    bool StartProcess(const std::filesystem::path& executable) override;
    bool OpenDocument(const std::filesystem::path& document) override;
    /// Paths that start (or open) successfully; all others fail.
    void Allow(const std::filesystem::path& path);
    std::vector<std::filesystem::path> Attempts() const;

  private:
    mutable std::mutex mutex_;
    std::set<std::filesystem::path> allowed_;
    std::vector<std::filesystem::path> attempts_;
};

/// A temporary directory removed with the object.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    /// `text` with this directory and the separator after it taken out of
    /// every path it names, whichever separator the system wrote.
    std::string WithoutPath(std::string text) const;

  private:
    std::filesystem::path path_;
};

/// Fake services bundled, with the program directory in a fresh temporary directory.
struct FakeSystem {
    FakeClock clock;
    FakeSleeper sleeper{&clock};
    FakeLauncher launcher;
    TempDir directory;
    sys::SystemServices services = ServicesWith(sleeper);

    /// These services with `other` doing the sleeping, e.g. one that lets a
    /// simulated device take its frames while fake time passes.
    sys::SystemServices ServicesWith(sys::Sleeper& other) {
        return {clock,
                other,
                launcher,
                launcher,
                directory.Path(),
                directory.Path() / "quillon",
                sys::CodePages{}};
    }
};

}  // namespace quillon::test
