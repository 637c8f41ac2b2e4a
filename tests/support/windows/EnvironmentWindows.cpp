#include <cstdlib>

#include "support/Environment.hpp"

namespace quillon::test {

// _putenv_s changes the C runtime's copy that getenv reads, in every module of
// the process, and the process environment with it.
void SetEnvironment(const std::string& name, const std::string& value) {
    ::_putenv_s(name.c_str(), value.c_str());
}

void UnsetEnvironment(const std::string& name) {
    ::_putenv_s(name.c_str(), "");
}

}  // namespace quillon::test
