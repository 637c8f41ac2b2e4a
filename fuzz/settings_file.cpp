// Any bytes as QXCfg.dat: read through the real file reader, every section of
// a whole file encodes back to the bytes read, the verdict of the checks and
// of SettingsFileProblem agree, and the window loads and shows whatever
// passes (counts up to 255 included) without reading outside a table. With no
// section passing the window would show only its fallbacks, the same every
// time, so such inputs stop at the reader.
#include <algorithm>
#include <cstdlib>

#include "fuzz/FuzzWindow.hpp"
#include "fuzz/KeptFile.hpp"
#include "protocol/SettingsFile.hpp"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::FuzzWindow fuzzWindow;
    static fuzz::KeptFile file(fuzzWindow.window.SettingsPath());
    file.Set({data, size});
    protocol::SettingsSections sections{};
    const protocol::SettingsChecks ok = protocol::ReadSettingsFile(file.Path(), sections);
    const bool whole = size >= protocol::SETTINGS_FILE_SIZE;
    if (whole && !std::equal(data, data + protocol::SETTINGS_FILE_SIZE,
                             protocol::EncodeSettings(sections).begin())) {
        std::abort();
    }
    const bool allPass = std::all_of(ok.begin(), ok.end(), [](bool b) { return b; });
    if (protocol::SettingsFileProblem(file.Path()).empty() != (whole && allPass)) {
        std::abort();
    }
    if (std::none_of(ok.begin(), ok.end(), [](bool b) { return b; })) {
        return 0;
    }
    protocol::ApplySettingsFallbacks(sections, ok);
    fuzzWindow.window.LoadSettings();
    fuzzWindow.window.RefreshPages();
    fuzzWindow.ForgetHistory();
    return 0;
}
