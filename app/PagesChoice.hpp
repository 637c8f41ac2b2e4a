// Whether the main window shows its parameter pages, remembered between starts
// in a small file of its own, so the adapter choice in kelvix.conf is never
// touched by it. The file's first line is "shown" or "hidden"; a missing or
// unreadable file means hidden, as the window is delivered.
#pragma once

#include <filesystem>

#include "protocol/SaveResult.hpp"

namespace quillon::app {

inline constexpr const char* PAGES_CONF_NAME = "quillon-pages.conf";

/// Where the choice is kept: beside the program, else in the user's folder.
struct PagesChoiceFiles {
    std::filesystem::path beside;
    std::filesystem::path user;  ///< empty: no user folder
};

/// The files for a program whose settings directory in use is
/// `settingsDirectory`, the user's next to the user's kelvix.conf.
PagesChoiceFiles PagesChoiceFilesFor(const std::filesystem::path& settingsDirectory);

/// The remembered choice: the file beside the program when it holds one, else the user's.
bool RememberedPagesShown(const PagesChoiceFiles& files);

/// Saves the choice beside the program, or in the user's folder when that fails.
protocol::SaveResult SavePagesShown(bool shown, const PagesChoiceFiles& files);

}  // namespace quillon::app
