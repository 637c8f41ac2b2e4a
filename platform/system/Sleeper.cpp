#include "platform/system/Sleeper.hpp"

#include <chrono>
#include <thread>

namespace quillon::sys {

void SystemSleeper::SleepMs(std::uint32_t durationMs) {
    std::this_thread::sleep_for(std::chrono::milliseconds(durationMs));
}

void SystemSleeper::SleepNs(std::uint64_t durationNs) {
    std::this_thread::sleep_for(std::chrono::nanoseconds(durationNs));
}

}  // namespace quillon::sys
