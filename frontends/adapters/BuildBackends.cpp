#include "frontends/adapters/BuildBackends.hpp"

#include <utility>

namespace quillon::adapters {
namespace {

ProgramRunner& Runner() {
    static ProgramRunner runner;
    return runner;
}

}  // namespace

std::vector<OptionalBackend>& OptionalBackends() {
    // Filled during static initialisation, so built on first use.
    static std::vector<OptionalBackend> backends;
    return backends;
}

void SetProgramRunner(ProgramRunner runner) {
    Runner() = std::move(runner);
}

void RegisterBuildBackends() {
    for (const OptionalBackend& backend : OptionalBackends()) {
        backend.registerBackend();
    }
}

int RunWithBuildBackends(const std::function<int()>& program) {
    return Runner() ? Runner()(program) : program();
}

}  // namespace quillon::adapters
