#include "frontends/adapters/BuildBackends.hpp"

#include <utility>

namespace quillon::adapters {
namespace {

ProgramRunner& Runner() {
    static ProgramRunner runner;
    return runner;
}

}  // namespace

void OptionalBackendSet::Add(OptionalBackend backend) {
    if (registered_) {
        backend.registerBackend();
    }
    backends_.push_back(std::move(backend));
}

void OptionalBackendSet::RegisterAll() {
    if (registered_) {
        return;
    }
    registered_ = true;
    for (const OptionalBackend& backend : backends_) {
        backend.registerBackend();
    }
}

OptionalBackendSet& BuildBackendSet() {
    // Filled during static initialisation, so built on first use.
    static OptionalBackendSet set;
    return set;
}

const std::vector<OptionalBackend>& OptionalBackends() {
    return BuildBackendSet().Backends();
}

void SetProgramRunner(ProgramRunner runner) {
    Runner() = std::move(runner);
}

void RegisterBuildBackends() {
    BuildBackendSet().RegisterAll();
}

int RunWithBuildBackends(const std::function<int()>& program) {
    return Runner() ? Runner()(program) : program();
}

}  // namespace quillon::adapters
