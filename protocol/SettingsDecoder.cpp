#include "protocol/SettingsDecoder.hpp"

#include <algorithm>

#include "protocol/BlockChecksum.hpp"

namespace quillon::protocol {
namespace {

template <class Record>
bool DecodeSection(std::span<const std::uint8_t> file, std::size_t offset, Record& record) {
    auto bytes = record.ToBytes();
    const std::size_t available = file.size() > offset ? file.size() - offset : 0;
    const auto from = file.begin() + static_cast<std::ptrdiff_t>(std::min(offset, file.size()));
    std::copy_n(from, std::min(available, bytes.size()), bytes.begin());
    record = Record::FromBytes(bytes);
    return SectionChecksumMatches(bytes);
}

}  // namespace

DecodedSettings DecodeSettings(std::span<const std::uint8_t> file, const SettingsSections& start) {
    DecodedSettings decoded{start, {}};
    std::size_t offset = 0;
    ForEachSection(decoded.sections, [&](SettingsSection section, auto& record) {
        decoded.checks[Index(section)] = DecodeSection(file, offset, record);
        offset += record.SIZE;
    });
    return decoded;
}

std::vector<SettingsSection> FailedSections(const SettingsChecks& checks) {
    std::vector<SettingsSection> failed;
    for (std::size_t i = 0; i < checks.size(); ++i) {
        if (!checks[i]) {
            failed.push_back(static_cast<SettingsSection>(i));
        }
    }
    return failed;
}

}  // namespace quillon::protocol
