#include "platform/system/SettingsHome.hpp"

#include <system_error>

#include "platform/system/Utf8Path.hpp"

namespace quillon::sys {
namespace {

std::string Variable(const EnvironmentLookup& environment, const char* name) {
    return environment ? environment(name).value_or(std::string()) : std::string();
}

}  // namespace

bool FileExists(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::filesystem::path InstalledMarker(const std::filesystem::path& programDirectory,
                                      HostSystem system) {
    if (system == HostSystem::Windows) {
        return programDirectory / INSTALLED_MARKER_NAME;
    }
    return programDirectory.parent_path() / "share" / "quillon" / INSTALLED_MARKER_NAME;
}

std::filesystem::path UserConfigDirectory(const EnvironmentLookup& environment, HostSystem system) {
    if (system == HostSystem::Windows) {
        const std::string appData = Variable(environment, "APPDATA");
        return appData.empty() ? std::filesystem::path() : PathFromUtf8(appData) / "Quillon";
    }
    if (const std::string config = Variable(environment, "XDG_CONFIG_HOME"); !config.empty()) {
        return PathFromUtf8(config) / "quillon";
    }
    if (const std::string home = Variable(environment, "HOME"); !home.empty()) {
        return PathFromUtf8(home) / ".config" / "quillon";
    }
    return {};
}

SettingsHome FindSettingsHome(const std::filesystem::path& programDirectory,
                              const EnvironmentLookup& environment, const FileProbe& exists,
                              HostSystem system) {
    if (!exists(InstalledMarker(programDirectory, system))) {
        return {programDirectory, false};
    }
    const auto user = UserConfigDirectory(environment, system);
    return {user.empty() ? programDirectory : user, true};
}

std::filesystem::path SettingsDirectoryInUse(const std::filesystem::path& settingsOverride,
                                             const std::filesystem::path& programDirectory,
                                             const EnvironmentLookup& environment,
                                             const FileProbe& exists, HostSystem system) {
    if (!settingsOverride.empty()) {
        return settingsOverride;
    }
    const SettingsHome home = FindSettingsHome(programDirectory, environment, exists, system);
    if (home.installed) {
        // A failure shows in the first save, which names the file.
        std::error_code error;
        std::filesystem::create_directories(home.directory, error);
    }
    return home.directory;
}

}  // namespace quillon::sys
