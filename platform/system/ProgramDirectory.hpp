// Where the running program lies: settings files, sibling tools and the manual
// are found beside it.
#pragma once

#include <filesystem>

namespace quillon::sys {

/// Full path of the running executable.
std::filesystem::path ExecutablePath();
/// Directory of the running executable, without a trailing separator.
std::filesystem::path ExecutableDirectory();

}  // namespace quillon::sys
