#include <windows.h>

#include "platform/system/Clock.hpp"

namespace quillon::sys {

LocalTime SystemClock::Now() const {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return LocalTime{now.wYear,   now.wMonth,  now.wDay,         now.wHour,
                     now.wMinute, now.wSecond, now.wMilliseconds};
}

}  // namespace quillon::sys
