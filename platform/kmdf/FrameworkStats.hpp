// What the framework counts about requests, for tests that prove every
// request was completed exactly once.
#pragma once

#include <cstddef>

namespace kmdf {

struct FrameworkStats {
    std::size_t requestsCreated = 0;
    std::size_t requestsCompleted = 0;
    /// Completions of a request that was already completed (or never existed).
    std::size_t invalidCompletions = 0;
    /// Completions attempted while the request was still in flight at a target.
    std::size_t completedWhileSent = 0;
    /// Sends of a request that was already in flight.
    std::size_t sentTwice = 0;
    /// Requests handed to the driver's read/write/control handlers.
    std::size_t presentedToDriver = 0;
};

}  // namespace kmdf
