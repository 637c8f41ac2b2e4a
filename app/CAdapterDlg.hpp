// The adapter dialog, opened from the window menu: every backend and
// interface the machine can reach (the list `quillon-cli adapters` prints),
// with the reason beside each unavailable or untested one (in the window's
// language, AdapterListingText.hpp), and the adapter setting to use,
// which the user may extend with options ("sim:type=2,fw=11"). OK uses the
// setting for the next connect and saves it as the first line of kelvix.conf.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/kelvix/InterfaceListing.hpp"
#include "platform/ui/Dialog.hpp"
#include "protocol/SaveResult.hpp"

namespace quillon::app {

inline constexpr int IDD_ADAPTER = 141;
inline constexpr int IDC_ADAPTER_LIST = 1301;
inline constexpr int IDC_ADAPTER_SPEC = 1302;

/// What OK does with the chosen setting.
struct AdapterChoice {
    std::function<void(const std::string& spec)> use;  ///< for the next connect
    std::function<protocol::SaveResult(const std::string& spec)> save;
};

class CAdapterDlg : public ui::Dialog {
  public:
    /// `current` is the setting in force, shown in the setting's edit at start.
    CAdapterDlg(ui::Host& host, std::vector<kelvix::InterfaceListing> listings, std::string current,
                AdapterChoice choice);

    const std::vector<kelvix::InterfaceListing>& Listings() const { return listings_; }

  protected:
    bool OnInitDialog() override;

  private:
    void FillList();
    void OnRowSelected();
    void OnOk();

    std::vector<kelvix::InterfaceListing> listings_;
    std::string current_;
    AdapterChoice choice_;
};

/// The program's own choice: the adapter library's override for the next
/// connect, saved in the settings directory in use (kelvix.conf in
/// `settingsDirectory`) or else in the user's config folder.
AdapterChoice ProgramAdapterChoice(const std::filesystem::path& settingsDirectory);

/// The adapter dialog's template.
const ui::DialogTemplate& AdapterDlgTemplate();

/// Saves `spec` as the first line of `programConf` (kelvix.conf beside the
/// program; the lines after it are kept); when that cannot be written, as the
/// first line of `userConf`, creating its folder. The result names the file
/// written, or says why neither could be.
protocol::SaveResult SaveAdapterChoice(const std::string& spec,
                                       const std::filesystem::path& programConf,
                                       const std::filesystem::path& userConf);

}  // namespace quillon::app
