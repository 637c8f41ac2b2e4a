// What write --from and read --export add to the device commands.
#pragma once

#include <ostream>
#include <string>

#include "app/CQuillonDlg.hpp"
#include "frontends/cli/Session.hpp"

namespace quillon::cli {

/// Checks the configuration text `file` and saves it into the settings
/// directory, as import does, before a write loads the directory. EXIT_OK, or
/// EXIT_BAD_FILE with the problems printed and nothing written.
int ImportBeforeWrite(const GlobalOptions& options, const std::string& file,
                      sys::SystemServices& services, std::ostream& err);

/// Writes a configuration text of what a read brought (`read`) to `file`: the
/// channels, the filters, the bridge and the replay sections and the four
/// system values a device reports; the other system bytes and the DTU records
/// from the settings directory (or, when its files are unusable, what the
/// window loaded). Says on `err` which came from where.
int ExportReadConfiguration(const GlobalOptions& options, const std::string& file,
                            const protocol::SettingsSections& read, app::CQuillonDlg& window,
                            sys::SystemServices& services, std::ostream& err);

}  // namespace quillon::cli
