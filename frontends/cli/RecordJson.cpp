#include "frontends/cli/RecordJson.hpp"

#include <algorithm>
#include <cstdio>

#include "app/CQuillonDlg.hpp"

namespace quillon::cli {

using nlohmann::ordered_json;

namespace {

template <typename T, std::size_t N>
ordered_json Array(const std::array<T, N>& values) {
    ordered_json array = ordered_json::array();
    for (const auto& value : values) {
        array.push_back(value);
    }
    return array;
}

ordered_json ToJson(const protocol::CanFilter& filter) {
    return {{"used", filter.used},
            {"frameType", filter.frameType},
            {"frameFormat", filter.frameFormat},
            {"trigger", filter.trigger},
            {"idStart", filter.idStart},
            {"idEnd", filter.idEnd},
            {"interval", filter.interval}};
}

ordered_json ToJson(const protocol::BridgeRule& rule) {
    return {{"leadByte", rule.leadByte},
            {"direction", rule.direction},
            {"k", rule.k},
            {"m", rule.m},
            {"trigger", rule.trigger},
            {"srcFlags", rule.srcFlags},
            {"srcId", rule.srcId},
            {"srcDataMask", rule.srcDataMask},
            {"srcLength", rule.srcLength},
            {"srcData", Array(rule.srcData)},
            {"dstFlags", rule.dstFlags},
            {"dstId", rule.dstId},
            {"yMax", rule.yMax},
            {"dstDataMask", rule.dstDataMask},
            {"kMask", rule.kMask},
            {"mMask", rule.mMask},
            {"dstLength", rule.dstLength},
            {"dstData", Array(rule.dstData)}};
}

}  // namespace

std::string FileNameText(const std::array<std::uint8_t, 17>& name) {
    std::string text;
    for (std::uint8_t byte : name) {
        if (byte == 0) {
            break;
        }
        text += static_cast<char>(byte);
    }
    // Names are stored in the ANSI code page; show them as UTF-8.
    return sys::CodePage().ToUtf8(text);
}

namespace {

ordered_json ToJson(const protocol::ReplayRule& rule) {
    return {{"channelMask", rule.channelMask},
            {"times", rule.times},
            {"intervalSec", rule.intervalSec},
            {"fileName", FileNameText(rule.fileName)}};
}

}  // namespace

ordered_json ToJson(const protocol::CanPara& channel) {
    ordered_json filters = ordered_json::array();
    for (const auto& filter : channel.filters) {
        filters.push_back(ToJson(filter));
    }
    return {{"enable", channel.enable},
            {"baudIndex", channel.baudIndex},
            {"btr0", channel.btr0},
            {"btr1", channel.btr1},
            {"workMode", channel.workMode},
            {"acceptAll", channel.acceptAll},
            {"filterCount", channel.filterCount},
            {"filters", filters}};
}

ordered_json ToJson(const protocol::SysPara& sys) {
    return {{"fileSizeMB", sys.fileSizeMB},
            {"sysOption", sys.sysOption},
            {"cyclicOverwrite", sys.cyclicOverwrite},
            {"firstFrameTimeZero", sys.firstFrameTimeZero},
            {"errorProofing", sys.errorProofing}};
}

ordered_json ToJson(const protocol::HardFilterPara& filters) {
    return {{"enable", filters.enable},
            {"filterCount", filters.filterCount},
            {"frameFormat", Array(filters.frameFormat)},
            {"matchValue", Array(filters.matchValue)},
            {"matchMask", Array(filters.matchMask)}};
}

ordered_json ToJson(const protocol::BridgePara& bridge) {
    ordered_json rules = ordered_json::array();
    for (const auto& rule : bridge.rules) {
        rules.push_back(ToJson(rule));
    }
    return {{"ruleCount", bridge.ruleCount}, {"bridgeFlags", bridge.bridgeFlags}, {"rules", rules}};
}

ordered_json ToJson(const protocol::ReplayPara& replay) {
    ordered_json rules = ordered_json::array();
    for (const auto& rule : replay.rules) {
        rules.push_back(ToJson(rule));
    }
    return {{"sendMode", replay.sendMode},
            {"ruleCount", replay.ruleCount},
            {"repeatAll", replay.repeatAll},
            {"auxValue", replay.auxValue},
            {"rules", rules}};
}

ordered_json ToJson(const protocol::DeviceIdentity& identity) {
    return {{"serial", app::SerialText(identity.serial)},
            {"deviceType", identity.deviceType},
            {"deviceTypeName", app::DeviceTypeName(identity.deviceType)},
            {"hardwareVersion", identity.hardwareVersion},
            {"firmwareVersion", identity.firmwareVersion}};
}

ordered_json SectionsToJson(const protocol::SettingsSections& sections) {
    ordered_json document;
    protocol::ForEachSection(sections, [&](protocol::SettingsSection section, const auto& record) {
        document[std::string(protocol::SectionKey(section))] = ToJson(record);
    });
    return document;
}

namespace {

// The first `count` entries of `table` (at most all of them), as JSON.
template <typename Entry, std::size_t N, typename ToJsonFn>
ordered_json Announced(const std::array<Entry, N>& table, std::size_t count, ToJsonFn toJson) {
    ordered_json entries = ordered_json::array();
    for (std::size_t k = 0; k < std::min(count, N); ++k) {
        entries.push_back(toJson(table[k]));
    }
    return entries;
}

ordered_json ReadableFilters(const protocol::HardFilterPara& f) {
    ordered_json entries = ordered_json::array();
    for (std::size_t k = 0; k < std::min<std::size_t>(f.filterCount, f.matchValue.size()); ++k) {
        entries.push_back({{"frameFormat", f.frameFormat[k]},
                           {"matchValue", f.matchValue[k]},
                           {"matchMask", f.matchMask[k]}});
    }
    return {{"enable", f.enable}, {"filterCount", f.filterCount}, {"filters", entries}};
}

}  // namespace

ordered_json ReadableToJson(const protocol::SettingsSections& s) {
    const auto rule = [](const protocol::BridgeRule& r) {
        ordered_json json = ToJson(r);
        json.erase("leadByte");
        return json;
    };
    const auto file = [](const protocol::ReplayRule& r) { return ToJson(r); };
    const auto key = [](protocol::SettingsSection section) {
        return std::string(protocol::SectionKey(section));
    };
    using enum protocol::SettingsSection;
    return {{key(Can1), ToJson(s.can1)},
            {key(Can2), ToJson(s.can2)},
            {key(System),
             {{"fileSizeMB", s.sys.fileSizeMB},
              {"cyclicOverwrite", s.sys.cyclicOverwrite},
              {"firstFrameTimeZero", s.sys.firstFrameTimeZero},
              {"errorProofing", s.sys.errorProofing}}},
            {key(Filters1), ReadableFilters(s.filters1)},
            {key(Filters2), ReadableFilters(s.filters2)},
            {key(Bridge),
             {{"ruleCount", s.bridge.ruleCount},
              {"bridgeFlags", s.bridge.bridgeFlags},
              {"rules", Announced(s.bridge.rules, s.bridge.ruleCount, rule)}}},
            {key(Replay),
             {{"sendMode", s.replay.sendMode},
              {"ruleCount", s.replay.ruleCount},
              {"repeatAll", s.replay.repeatAll},
              {"auxValue", s.replay.auxValue},
              {"rules", Announced(s.replay.rules, s.replay.ruleCount, file)}}}};
}

}  // namespace quillon::cli
