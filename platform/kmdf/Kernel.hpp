// The services of the simulated kernel that driver code reaches through free
// functions (IoAllocateMdl, PsGetCurrentProcessId, ...). One Kernel is active
// in a process at a time; it is created by the KernelHost and lives as long as
// it.
#pragma once

#include <memory>
#include <mutex>

#include "platform/kmdf/FaultInjector.hpp"
#include "platform/kmdf/FrameworkStats.hpp"
#include "platform/kmdf/KernelTypes.hpp"
#include "platform/kmdf/MdlRegistry.hpp"
#include "platform/kmdf/PoolTracker.hpp"
#include "platform/kmdf/Waiter.hpp"

namespace kmdf {

class Kernel {
  public:
    explicit Kernel(std::shared_ptr<Waiter> waiter);
    ~Kernel();
    Kernel(const Kernel&) = delete;
    Kernel& operator=(const Kernel&) = delete;

    /// The active kernel; calling this without one is a programming error.
    static Kernel& Current();

    MdlRegistry& Mdls() { return mdls_; }
    PoolTracker& Pool() { return pool_; }
    FaultInjector& Faults() { return faults_; }
    Waiter& GetWaiter() { return *waiter_; }

    FrameworkStats Stats();
    template <class F>
    void UpdateStats(F&& update) {
        std::lock_guard lock(statsMutex_);
        update(stats_);
    }

  private:
    std::shared_ptr<Waiter> waiter_;
    MdlRegistry mdls_;
    PoolTracker pool_;
    FaultInjector faults_;
    std::mutex statsMutex_;
    FrameworkStats stats_;
};

/// The simulated process on whose behalf the current thread runs; 4 (the
/// system process) on threads that no user call entered.
HANDLE PsGetCurrentProcessId();

/// Runs the current thread on behalf of `processId` for its lifetime.
class ProcessScope {
  public:
    explicit ProcessScope(HANDLE processId);
    ~ProcessScope();
    ProcessScope(const ProcessScope&) = delete;
    ProcessScope& operator=(const ProcessScope&) = delete;

  private:
    HANDLE previous_;
};

inline constexpr HANDLE SYSTEM_PROCESS_ID = 4;

}  // namespace kmdf
