#include "support/FakeSystem.hpp"

#include <atomic>
#include <string>

#include <unistd.h>

#include "platform/system/Utf8Path.hpp"

namespace quillon::test {

sys::LocalTime FakeClock::Now() const {
    std::lock_guard lock(mutex_);
    return now_;
}

void FakeClock::Set(const sys::LocalTime& time) {
    std::lock_guard lock(mutex_);
    now_ = time;
}

void FakeSleeper::SleepMs(std::uint32_t durationMs) {
    std::function<void(std::uint32_t)> hook;
    {
        std::lock_guard lock(mutex_);
        sleeps_.push_back(durationMs);
        hook = hook_;
    }
    if (clock_ != nullptr) {
        clock_->AdvanceMs(durationMs);
    }
    if (hook) {
        hook(durationMs);
    }
}

std::vector<std::uint32_t> FakeSleeper::Sleeps() const {
    std::lock_guard lock(mutex_);
    return sleeps_;
}

std::size_t FakeSleeper::CountOf(std::uint32_t durationMs) const {
    std::lock_guard lock(mutex_);
    std::size_t count = 0;
    for (auto sleep : sleeps_) {
        count += sleep == durationMs ? 1 : 0;
    }
    return count;
}

void FakeSleeper::SetHook(std::function<void(std::uint32_t)> hook) {
    std::lock_guard lock(mutex_);
    hook_ = std::move(hook);
}

bool FakeLauncher::StartProcess(const std::filesystem::path& executable) {
    std::lock_guard lock(mutex_);
    attempts_.push_back(executable);
    return allowed_.count(executable) > 0;
}

bool FakeLauncher::OpenDocument(const std::filesystem::path& document) {
    return StartProcess(document);
}

void FakeLauncher::Allow(const std::filesystem::path& path) {
    std::lock_guard lock(mutex_);
    allowed_.insert(path);
}

std::vector<std::filesystem::path> FakeLauncher::Attempts() const {
    std::lock_guard lock(mutex_);
    return attempts_;
}

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("quillon-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::WithoutPath(std::string text) const {
    const std::string base = sys::PathToUtf8(path_);
    for (const char separator : {'/', '\\'}) {
        const std::string prefix = base + separator;
        for (auto at = text.find(prefix); at != std::string::npos; at = text.find(prefix)) {
            text.erase(at, prefix.size());
        }
    }
    return text;
}

}  // namespace quillon::test
