// Any bytes as QXCfgDTU.dat and QXCfgDTUHL.dat (the first byte picks which):
// the page loads them through its real reader and shows them, and collects
// the record back from its controls. A record that passed its checksum is
// saved too (saving is a temporary file, flushes and a rename, so the many
// inputs that fail the checksum skip it).
#include "dtu/DtuSettingsFile.hpp"
#include "fuzz/FuzzWindow.hpp"
#include "fuzz/KeptFile.hpp"
#include "protocol/DtuAdvPara.hpp"
#include "protocol/DtuBasicPara.hpp"

using namespace quillon;

namespace {

template <class Record>
bool PassesChecksum(const fuzz::KeptFile& file) {
    auto bytes = Record{}.ToBytes();
    return dtu::ReadChecksummedRecord(file.Path(), bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::FuzzWindow fuzzWindow;
    static fuzz::KeptFile basicFile(fuzzWindow.directory / dtu::DTU_BASIC_FILE_NAME);
    static fuzz::KeptFile advancedFile(fuzzWindow.directory / dtu::DTU_ADV_FILE_NAME);
    if (size == 0) {
        return 0;
    }
    auto& window = fuzzWindow.window;
    const bool basic = data[0] & 1;
    fuzz::KeptFile& file = basic ? basicFile : advancedFile;
    file.Set({data + 1, size - 1});
    if (basic) {
        window.DtuBasicPage().LoadDtuBasic();
        window.DtuBasicPage().CollectDtuBasic();
        if (PassesChecksum<protocol::DtuBasicPara>(file)) {
            window.DtuBasicPage().SaveDtuBasic();
            file.Reopen();
        }
    } else {
        window.DtuAdvancedPage().LoadDtuAdv();
        window.DtuAdvancedPage().CollectDtuAdv();
        if (PassesChecksum<protocol::DtuAdvPara>(file)) {
            window.DtuAdvancedPage().SaveDtuAdv();
            file.Reopen();
        }
    }
    fuzzWindow.ForgetHistory();
    return 0;
}
