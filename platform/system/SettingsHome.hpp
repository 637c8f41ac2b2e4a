// Where a user's files (the settings files, kelvix.conf, quillon-pages.conf)
// are kept. A program run from a folder of its own keeps them beside it, as
// it always has; a program a package installed never writes into its own
// folder (it is not the user's to write), and keeps them in the user's
// configuration directory instead. A package marks its installation with a
// file of its own:
//   Windows installer:  <program dir>\quillon.installed
//   Linux packages:     <program dir>/../share/quillon/quillon.installed
// The command line's --settings-dir wins over both.
#pragma once

#include <filesystem>
#include <functional>

#include "platform/system/Environment.hpp"
#include "platform/system/HostSystem.hpp"

namespace quillon::sys {

inline constexpr const char* INSTALLED_MARKER_NAME = "quillon.installed";

/// Whether a file exists at a path; the real one asks the file system.
using FileProbe = std::function<bool(const std::filesystem::path&)>;
bool FileExists(const std::filesystem::path& path);

/// The marker a package puts down for a program in `programDirectory`.
std::filesystem::path InstalledMarker(const std::filesystem::path& programDirectory,
                                      HostSystem system = THIS_HOST_SYSTEM);

/// The user's configuration directory for Quillon: $XDG_CONFIG_HOME/quillon,
/// else $HOME/.config/quillon; %APPDATA%\Quillon on Windows. Empty when the
/// environment names none (an empty variable counts as unset).
std::filesystem::path UserConfigDirectory(const EnvironmentLookup& environment,
                                          HostSystem system = THIS_HOST_SYSTEM);

struct SettingsHome {
    std::filesystem::path directory;
    bool installed = false;  ///< the package's marker was found
};

/// Where the user's files of the program in `programDirectory` go: beside it
/// unless it is installed, else the user's configuration directory (beside it
/// still when the environment names none).
SettingsHome FindSettingsHome(const std::filesystem::path& programDirectory,
                              const EnvironmentLookup& environment,
                              const FileProbe& exists = FileExists,
                              HostSystem system = THIS_HOST_SYSTEM);

/// The directory in use: `settingsOverride` (--settings-dir) when given, used
/// as it is (a mistyped one is named by the save that fails); else the rule
/// above, the user's configuration directory created when missing, so the
/// first save of an installed program finds it.
std::filesystem::path SettingsDirectoryInUse(const std::filesystem::path& settingsOverride,
                                             const std::filesystem::path& programDirectory,
                                             const EnvironmentLookup& environment,
                                             const FileProbe& exists = FileExists,
                                             HostSystem system = THIS_HOST_SYSTEM);

}  // namespace quillon::sys
