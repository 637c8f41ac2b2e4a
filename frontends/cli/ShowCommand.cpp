#include <fstream>
#include <iterator>
#include <vector>

#include "frontends/cli/Commands.hpp"
#include "frontends/cli/RecordJson.hpp"
#include "protocol/BlockChecksum.hpp"
#include "protocol/SettingsFile.hpp"

namespace quillon::cli {
namespace {

using nlohmann::ordered_json;

// Section records as they lie in the file, and whether each one's checksum holds.
struct RawSettings {
    protocol::SettingsSections sections;
    std::array<bool, protocol::SETTINGS_SECTION_COUNT> checksumOk{};
};

template <typename Record>
void DecodeSection(const std::vector<std::uint8_t>& bytes, std::size_t& offset, Record& record,
                   bool& ok) {
    const std::span<const std::uint8_t, Record::SIZE> section(bytes.data() + offset, Record::SIZE);
    record = Record::FromBytes(section);
    ok = protocol::SectionChecksumMatches(section);
    offset += Record::SIZE;
}

RawSettings DecodeRaw(const std::vector<std::uint8_t>& bytes) {
    RawSettings raw;
    std::size_t offset = 0;
    protocol::ForEachSection(raw.sections, [&](protocol::SettingsSection which, auto& record) {
        DecodeSection(bytes, offset, record, raw.checksumOk[protocol::Index(which)]);
    });
    return raw;
}

void PrintTable(const RawSettings& raw, std::ostream& out) {
    const auto& s = raw.sections;
    const char* names[] = {"CAN1", "CAN2", "系统", "CAN1滤波", "CAN2滤波", "网桥", "回放"};
    for (std::size_t i = 0; i < protocol::SETTINGS_SECTION_COUNT; ++i) {
        out << names[i] << ": checksum " << (raw.checksumOk[i] ? "ok" : "BAD") << '\n';
    }
    for (const auto* channel : {&s.can1, &s.can2}) {
        out << "  channel: enable=" << int(channel->enable)
            << " baudIndex=" << int(channel->baudIndex) << " btr0=" << int(channel->btr0)
            << " btr1=" << int(channel->btr1) << " workMode=" << int(channel->workMode)
            << " acceptAll=" << int(channel->acceptAll)
            << " filterCount=" << int(channel->filterCount) << '\n';
    }
    out << "  sys: fileSizeMB=" << s.sys.fileSizeMB
        << " cyclicOverwrite=" << int(s.sys.cyclicOverwrite)
        << " firstFrameTimeZero=" << int(s.sys.firstFrameTimeZero)
        << " errorProofing=" << int(s.sys.errorProofing) << '\n';
    out << "  filters: " << int(s.filters1.filterCount) << " / " << int(s.filters2.filterCount)
        << ", bridge rules: " << int(s.bridge.ruleCount)
        << ", replay files: " << int(s.replay.ruleCount) << '\n';
}

}  // namespace

int RunShow(const std::string& file, bool json, std::ostream& out, std::ostream& err) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        err << "quillon-cli show: cannot open " << file << '\n';
        return EXIT_BAD_FILE;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (bytes.size() < protocol::SETTINGS_FILE_SIZE) {
        err << "quillon-cli show: " << file << " has " << bytes.size() << " bytes, expected "
            << protocol::SETTINGS_FILE_SIZE << '\n';
        return EXIT_BAD_FILE;
    }
    const RawSettings raw = DecodeRaw(bytes);
    if (!json) {
        PrintTable(raw, out);
        return EXIT_OK;
    }
    ordered_json document = SectionsToJson(raw.sections);
    std::size_t i = 0;
    for (auto& [key, section] : document.items()) {
        ordered_json withCheck = {{"checksumOk", raw.checksumOk[i++]}};
        withCheck.update(section);
        section = withCheck;
    }
    out << document.dump(2) << '\n';
    return EXIT_OK;
}

}  // namespace quillon::cli
