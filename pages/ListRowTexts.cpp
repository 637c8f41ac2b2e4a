#include "pages/ListRowTexts.hpp"

#include "pages/BitPattern.hpp"
#include "pages/BridgeRuleText.hpp"
#include "pages/HexIdentifier.hpp"
#include "pages/PageTexts.hpp"

namespace quillon::pages {
namespace {

std::string TriggerName(std::uint8_t trigger) {
    return trigger < TRIGGER_NAMES.size() ? TRIGGER_NAMES[trigger] : "";
}

std::string FormatName(std::uint8_t format) {
    return FRAME_FORMAT_NAMES[format == 0 ? 0 : 1];
}

std::string ChannelText(std::uint8_t mask) {
    std::string text;
    if ((mask & REPLAY_CHANNEL1) != 0) {
        text += CHANNEL1_ALLOWED;
        text += ' ';
    }
    if ((mask & REPLAY_CHANNEL1) != 0 && (mask & REPLAY_CHANNEL2) != 0) {
        text += "，";
    }
    if ((mask & REPLAY_CHANNEL2) != 0) {
        text += CHANNEL2_ALLOWED;
    }
    return text.empty() ? "未允许道数据" : text;
}

}  // namespace

std::vector<std::string> RecordingRuleColumns(const protocol::CanFilter& filter) {
    return {FRAME_TYPE_NAMES[filter.frameType == 0 ? 0 : 1],
            FRAME_FORMAT_NAMES[filter.frameFormat == 0 ? 0 : 1],
            FormatHexLower(filter.idStart),
            FormatHexLower(filter.idEnd),
            std::to_string(filter.interval),
            TriggerName(filter.trigger)};
}

std::vector<std::string> AcceptanceFilterColumns(std::uint8_t format, std::uint32_t value,
                                                 std::uint32_t mask) {
    return {FormatName(format), FormatBitPattern(format, value, mask)};
}

std::vector<std::string> BridgeRuleColumns(const protocol::BridgeRule& rule) {
    return {DirectionText(rule.direction), TriggerText(rule.trigger), FormulaText(rule.k, rule.m),
            SourceDescription(rule), ForwardedDescription(rule)};
}

std::vector<std::string> ReplayRuleColumns(const protocol::ReplayRule& rule,
                                           const std::string& fileName) {
    return {fileName + ".alog", std::to_string(rule.times), std::to_string(rule.intervalSec),
            ChannelText(rule.channelMask)};
}

}  // namespace quillon::pages
