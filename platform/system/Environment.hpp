// The process environment as the program reads it: a lookup passed in, so
// tests hand a table instead of changing the variables of the test process.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace quillon::sys {

/// Looks up an environment variable (its value in UTF-8); nothing when it is unset.
using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;

/// The variables of this process; one body per platform.
std::optional<std::string> ProcessEnvironment(const char* name);

}  // namespace quillon::sys
