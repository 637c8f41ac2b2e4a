// Arbitrary settings-file bytes: every section decodes, re-encodes to the same
// bytes, and the fallbacks leave counts the pages can show.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "protocol/SettingsFile.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillon::protocol;
    if (size < SETTINGS_FILE_SIZE) {
        return 0;
    }
    std::span<const std::uint8_t> bytes(data, SETTINGS_FILE_SIZE);
    const auto can1 = CanPara::FromBytes(bytes.subspan<0, CanPara::SIZE>());
    if (can1.ToBytes() != [&] {
            std::array<std::uint8_t, CanPara::SIZE> copy{};
            std::copy_n(data, CanPara::SIZE, copy.begin());
            return copy;
        }()) {
        std::abort();
    }
    SettingsSections sections{};
    std::size_t offset = 0;
    ForEachSection(sections, [&](SettingsSection, auto& record) {
        using Record = std::remove_reference_t<decltype(record)>;
        record = Record::FromBytes(
            std::span<const std::uint8_t, Record::SIZE>(data + offset, Record::SIZE));
        offset += Record::SIZE;
    });
    if (EncodeSettings(sections) != [&] {
            std::array<std::uint8_t, SETTINGS_FILE_SIZE> copy{};
            std::copy_n(data, SETTINGS_FILE_SIZE, copy.begin());
            return copy;
        }()) {
        std::abort();
    }
    SettingsChecks failed{};
    ApplySettingsFallbacks(sections, failed);
    ApplyBaudTable(sections.can1);
    return 0;
}
