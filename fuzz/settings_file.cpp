// Any bytes as QXCfg.dat: read through the real file reader, every section of
// a whole file encodes back to the bytes read, the verdict of the checks and
// of SettingsFileProblem agree, and the window loads and shows whatever
// passes (counts up to 255 included) without reading outside a table.
#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "fuzz/FuzzWindow.hpp"
#include "fuzz/MemoryFile.hpp"
#include "protocol/SettingsFile.hpp"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile file;
    static fuzz::FuzzWindow fuzzWindow;
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
    protocol::ApplySettingsFallbacks(sections, ok);
    std::ofstream(fuzzWindow.window.SettingsPath(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    fuzzWindow.window.LoadSettings();
    fuzzWindow.window.RefreshPages();
    return 0;
}
