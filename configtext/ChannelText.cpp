// The CAN channel and system sections as text.
#include <algorithm>

#include "configtext/SectionText.hpp"
#include "protocol/BtrTable.hpp"

namespace quillon::configtext {
namespace {

using protocol::CanFilter;
using protocol::CanPara;
using protocol::SysPara;

constexpr std::uint32_t STANDARD_ID_MAX = 0x7FF;
constexpr std::uint32_t EXTENDED_ID_MAX = 0x1FFFFFFF;
// The system page's slider.
constexpr std::uint16_t FILE_SIZE_MB_MAX = 128;
constexpr std::uint8_t ERROR_PROOFING_ON = 3;

Json RuleToText(const CanFilter& filter) {
    const int digits = filter.frameFormat == 0 ? 3 : 8;
    return {{"frameType", TokenOf(FRAME_TYPES, filter.frameType)},
            {"frameFormat", TokenOf(FRAME_FORMATS, filter.frameFormat)},
            {"trigger", TokenOf(RECORDING_TRIGGERS, filter.trigger)},
            {"idStart", HexValue(filter.idStart, digits)},
            {"idEnd", HexValue(filter.idEnd, digits)},
            {"intervalMs", filter.interval}};
}

void RuleFromText(ObjectReader& text, CanFilter& filter) {
    filter.used = 1;
    text.Choice("frameType", filter.frameType, FRAME_TYPES);
    text.Choice("frameFormat", filter.frameFormat, FRAME_FORMATS);
    text.Choice("trigger", filter.trigger, RECORDING_TRIGGERS);
    text.Unsigned("idStart", filter.idStart, UINT32_MAX);
    text.Unsigned("idEnd", filter.idEnd, UINT32_MAX);
    if (const Json* interval = text.Find("intervalMs")) {
        if (auto value = ReadInt32(*interval, text.PathOf("intervalMs"), text.Problems())) {
            filter.interval = *value;
            if (*value < 0) {
                text.Problems().Warning(
                    text.PathOf("intervalMs"),
                    std::to_string(*value) + " is negative; the page types no such interval");
            }
        }
    }
    const std::uint32_t maxId = filter.frameFormat == 0 ? STANDARD_ID_MAX : EXTENDED_ID_MAX;
    for (const auto& [key, id] : {std::pair{"idStart", filter.idStart}, {"idEnd", filter.idEnd}}) {
        if (id > maxId) {
            text.Problems().Warning(
                text.PathOf(key), HexValue(id) + " is above " + HexValue(maxId) + ", the highest " +
                                      TokenOf(FRAME_FORMATS, filter.frameFormat) + " identifier");
        }
    }
    if (filter.idStart > filter.idEnd) {
        text.Problems().Warning(text.PathOf("idStart"),
                                HexValue(filter.idStart) + " is above idEnd " +
                                    HexValue(filter.idEnd) + "; the range takes no identifier");
    }
    text.RefuseUnknownKeys();
}

}  // namespace

Json ChannelToText(const CanPara& channel) {
    const bool custom = channel.baudIndex >= protocol::BTR_TABLE.size();
    Json text = {{"enabled", channel.enable != 0},
                 {"bitRate", custom ? TokenOf(BIT_RATES, protocol::CUSTOM_BAUD_INDEX)
                                    : TokenOf(BIT_RATES, channel.baudIndex)}};
    if (custom) {
        text["btr0"] = HexValue(channel.btr0, 2);
        text["btr1"] = HexValue(channel.btr1, 2);
    }
    text["workMode"] = TokenOf(WORK_MODES, channel.workMode);
    text["acceptAll"] = channel.acceptAll != 0;
    Json rules = Json::array();
    const std::size_t used = std::min<std::size_t>(channel.filterCount, channel.filters.size());
    for (std::size_t i = 0; i < used; ++i) {
        rules.push_back(RuleToText(channel.filters[i]));
    }
    text["rules"] = std::move(rules);
    return text;
}

void ChannelFromText(ObjectReader& text, CanPara& channel) {
    text.Flag("enabled", channel.enable);
    text.Choice("bitRate", channel.baudIndex, BIT_RATES);
    const bool custom = channel.baudIndex >= protocol::BTR_TABLE.size();
    if (!custom) {
        channel.btr0 = protocol::BTR_TABLE[channel.baudIndex].btr0;
        channel.btr1 = protocol::BTR_TABLE[channel.baudIndex].btr1;
    }
    for (const auto& [key, field] : {std::pair{"btr0", &channel.btr0}, {"btr1", &channel.btr1}}) {
        if (text.Find(key) == nullptr) {
            if (custom) {
                text.Problems().Error(text.PathOf(key), "missing; a custom bit rate needs it");
            }
        } else if (!custom) {
            text.Problems().Error(text.PathOf(key),
                                  "follows from the bit rate; give it only with \"custom\"");
        } else {
            text.Unsigned(key, *field, 0xFF);
        }
    }
    text.Choice("workMode", channel.workMode, WORK_MODES);
    text.Flag("acceptAll", channel.acceptAll);
    const ListEntries rules = ReadList(text, "rules", channel.filters.size(), "recording rules");
    channel.filterCount = static_cast<std::uint8_t>(rules.entries.size());
    for (std::size_t i = 0; i < rules.entries.size(); ++i) {
        ObjectReader rule(*rules.entries[i].first, rules.entries[i].second, text.Problems());
        if (rule.IsObject()) {
            RuleFromText(rule, channel.filters[i]);
        }
    }
}

Json SystemToText(const SysPara& sys) {
    return {{"fileSizeMB", sys.fileSizeMB},
            {"cyclicOverwrite", sys.cyclicOverwrite != 0},
            {"firstFrameTimeZero", sys.firstFrameTimeZero != 0},
            {"errorProofing", sys.errorProofing != 0}};
}

void SystemFromText(ObjectReader& text, SysPara& sys) {
    text.Unsigned("fileSizeMB", sys.fileSizeMB, UINT16_MAX);
    if (text.Find("fileSizeMB") != nullptr &&
        (sys.fileSizeMB < SysPara::STARTING_FILE_SIZE_MB || sys.fileSizeMB > FILE_SIZE_MB_MAX)) {
        text.Problems().Warning(text.PathOf("fileSizeMB"), std::to_string(sys.fileSizeMB) +
                                                               " is outside the page's 1..128 MB");
    }
    text.Flag("cyclicOverwrite", sys.cyclicOverwrite);
    text.Flag("firstFrameTimeZero", sys.firstFrameTimeZero);
    text.Flag("errorProofing", sys.errorProofing, ERROR_PROOFING_ON);
}

}  // namespace quillon::configtext
