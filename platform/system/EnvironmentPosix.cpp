#include "platform/system/Environment.hpp"

#include <cstdlib>

namespace quillon::sys {

std::optional<std::string> ProcessEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

}  // namespace quillon::sys
