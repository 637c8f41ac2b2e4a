// Any bytes as QXCfgDTU.dat and QXCfgDTUHL.dat (the first byte picks which):
// the page loads them through its real reader and shows them; a record that
// passed its checksum is collected back from the controls without failing
// to save.
#include <fstream>

#include "dtu/DtuSettingsFile.hpp"
#include "fuzz/FuzzWindow.hpp"

using namespace quillon;

namespace {

void Put(const std::filesystem::path& file, const std::uint8_t* data, std::size_t size) {
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::FuzzWindow fuzzWindow;
    if (size == 0) {
        return 0;
    }
    auto& window = fuzzWindow.window;
    const bool basic = data[0] & 1;
    const auto file =
        fuzzWindow.directory / (basic ? dtu::DTU_BASIC_FILE_NAME : dtu::DTU_ADV_FILE_NAME);
    Put(file, data + 1, size - 1);
    if (basic) {
        window.DtuBasicPage().LoadDtuBasic();
        window.DtuBasicPage().CollectDtuBasic();
        window.DtuBasicPage().SaveDtuBasic();
    } else {
        window.DtuAdvancedPage().LoadDtuAdv();
        window.DtuAdvancedPage().CollectDtuAdv();
        window.DtuAdvancedPage().SaveDtuAdv();
    }
    return 0;
}
