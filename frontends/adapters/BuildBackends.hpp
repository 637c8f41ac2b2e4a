// The optional backends this build carries (Brindle, Qt SerialBus), in one
// place for every program and for the shared adapter library: CMake adds each
// one's source when its library is part of the build, and that source enters
// it here as the program (or the library) starts.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/kelvix/InterfaceListing.hpp"

namespace quillon::adapters {

struct OptionalBackend {
    std::string name;
    std::function<void()> registerBackend;
    /// Empty when the backend lists no interfaces.
    std::function<std::vector<kelvix::InterfaceListing>()> list;
};

/// Backends in the order they entered, each registered with the adapter
/// library once. One entering after RegisterAll is registered as it enters:
/// in the shared adapter library the sources start in no fixed order.
class OptionalBackendSet {
  public:
    void Add(OptionalBackend backend);
    /// Registers every backend that entered so far; later calls do nothing.
    void RegisterAll();
    const std::vector<OptionalBackend>& Backends() const { return backends_; }

  private:
    std::vector<OptionalBackend> backends_;
    bool registered_ = false;
};

/// This build's optional backends; each one's source adds itself at start-up.
OptionalBackendSet& BuildBackendSet();

/// The optional backends of this build, in the order their sources entered them.
const std::vector<OptionalBackend>& OptionalBackends();

/// How a program must run for its backends; a source that needs more than a
/// plain call (Qt SerialBus: a Qt event loop on the main thread) sets it.
using ProgramRunner = std::function<int(const std::function<int()>& program)>;
void SetProgramRunner(ProgramRunner runner);

/// Adds every optional backend of this build to the adapter library; idempotent.
void RegisterBuildBackends();

/// Runs `program` as this build's backends need and returns its result.
int RunWithBuildBackends(const std::function<int()>& program);

}  // namespace quillon::adapters
