// Any bytes as a configuration text. The importer must end on every input
// with records or with problems, never both and never neither; records it
// accepts must export to a text that imports to the same records, and that
// text must export unchanged.
#include <cstdlib>
#include <string_view>

#include "configtext/ConfigText.hpp"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const sys::CodePage ansi("GBK");
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const configtext::ImportResult result = configtext::ImportConfigText(text, ansi);
    if (!result.records) {
        if (result.problems.empty()) {
            std::abort();  // refused without a word
        }
        return 0;
    }
    const std::string exported = configtext::ExportConfigText(*result.records, ansi);
    const configtext::ImportResult again = configtext::ImportConfigText(exported, ansi);
    if (!again.records || !(*again.records == *result.records) ||
        configtext::ExportConfigText(*again.records, ansi) != exported) {
        std::abort();
    }
    return 0;
}
