// Which family of operating system a rule is applied for. The rules that
// differ (file names of programs, where a user's settings go) take it as a
// parameter, so both sides are tested on any build machine.
#pragma once

#include <string>
#include <string_view>

namespace quillon::sys {

enum class HostSystem { Posix, Windows };

#ifdef _WIN32
inline constexpr HostSystem THIS_HOST_SYSTEM = HostSystem::Windows;
#else
inline constexpr HostSystem THIS_HOST_SYSTEM = HostSystem::Posix;
#endif

/// The file name of the program `baseName` ("Baudly"): as it is on Linux, with
/// ".exe" on Windows.
inline std::string ProgramFileName(std::string_view baseName,
                                   HostSystem system = THIS_HOST_SYSTEM) {
    return std::string(baseName) + (system == HostSystem::Windows ? ".exe" : "");
}

}  // namespace quillon::sys
