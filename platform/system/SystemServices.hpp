// The outside world as the program logic sees it. Front ends pass the real
// services; tests pass fakes (fixed clock, recorded sleeps, recorded launches).
#pragma once

#include <filesystem>

#include "platform/system/Clock.hpp"
#include "platform/system/CodePage.hpp"
#include "platform/system/ProcessLauncher.hpp"
#include "platform/system/Sleeper.hpp"

namespace quillon::sys {

struct SystemServices {
    Clock& clock;
    Sleeper& sleeper;
    ProcessLauncher& launcher;
    DocumentOpener& documents;
    /// Directory of the running program (sibling tools, manual; the settings
    /// files unless `settingsDirectory` says otherwise).
    std::filesystem::path programDirectory;
    /// Path of the running executable, started again by the upgrade mode entry.
    std::filesystem::path executablePath;
    CodePages codePages;
    /// Where the settings files are kept when not beside the program (the
    /// front ends' --settings-dir); empty: `programDirectory`.
    std::filesystem::path settingsDirectory = {};

    std::filesystem::path SettingsDirectory() const {
        return settingsDirectory.empty() ? programDirectory : settingsDirectory;
    }
};

/// Real services of this process, living as long as the program.
SystemServices& DefaultSystemServices();

}  // namespace quillon::sys
