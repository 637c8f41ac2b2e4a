#include "platform/kmdf/Kernel.hpp"

#include <atomic>
#include <cassert>

namespace kmdf {

namespace {

std::atomic<Kernel*> activeKernel{nullptr};
thread_local HANDLE currentProcessId = SYSTEM_PROCESS_ID;

}  // namespace

Kernel::Kernel(std::shared_ptr<Waiter> waiter) : waiter_(std::move(waiter)) {
    Kernel* expected = nullptr;
    const bool installed = activeKernel.compare_exchange_strong(expected, this);
    assert(installed && "only one simulated kernel may be active at a time");
    (void)installed;
}

Kernel::~Kernel() {
    activeKernel.store(nullptr);
}

Kernel& Kernel::Current() {
    Kernel* kernel = activeKernel.load();
    assert(kernel != nullptr && "no simulated kernel is active");
    return *kernel;
}

FrameworkStats Kernel::Stats() {
    std::lock_guard lock(statsMutex_);
    return stats_;
}

HANDLE PsGetCurrentProcessId() {
    return currentProcessId;
}

ProcessScope::ProcessScope(HANDLE processId) : previous_(currentProcessId) {
    currentProcessId = processId;
}

ProcessScope::~ProcessScope() {
    currentProcessId = previous_;
}

}  // namespace kmdf
