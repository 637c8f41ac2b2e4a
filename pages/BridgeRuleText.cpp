#include "pages/BridgeRuleText.hpp"

#include <cstdio>

#include "pages/HexIdentifier.hpp"

namespace quillon::pages {
namespace {

using protocol::BridgeRule;

constexpr std::uint8_t ANY_LENGTH = 9;
constexpr std::size_t MAX_ID_DIGITS = 8;

template <typename... Args>
std::string Printf(const char* format, Args... args) {
    char text[64];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

std::string TypeText(std::uint8_t flags, const char* unspecified) {
    switch (flags & BridgeRule::TYPE_BITS) {
        case BridgeRule::TYPE_REMOTE:
            return "，远程帧";
        case BridgeRule::TYPE_DATA:
            return "，数据帧";
        default:
            return unspecified;
    }
}

std::string FormatText(std::uint8_t flags, const char* unspecified) {
    switch (flags & BridgeRule::FORMAT_BITS) {
        case BridgeRule::FORMAT_EXTENDED:
            return "，扩展帧";
        case BridgeRule::FORMAT_STANDARD:
            return "，标准帧";
        default:
            return unspecified;
    }
}

// "，数据长度:" with the length, and the number of data items to list.
std::string LengthText(std::uint8_t length, std::size_t& items) {
    items = length < ANY_LENGTH ? length : 8;
    return std::string("，数据长度:") + (length < ANY_LENGTH ? Printf("%x", length) : "任意");
}

std::string ForwardedItem(const BridgeRule& rule, std::size_t i) {
    const auto flag = static_cast<std::uint8_t>(1u << i);
    if ((rule.dstDataMask & flag) != 0) {
        return Printf("%2x", rule.dstData[i]);
    }
    std::string item = (rule.kMask & flag) != 0 ? Printf("%dV", rule.k) : "V";
    if ((rule.mMask & flag) != 0) {
        item += Printf("+%d ", rule.m);
    }
    return item;
}

}  // namespace

DataBox ReadDataBox(std::string_view text) {
    if (text == "K") {
        return {DataBoxKind::MultiplyK, 0};
    }
    if (text == "M") {
        return {DataBoxKind::AddM, 0};
    }
    if (text == "KM") {
        return {DataBoxKind::MultiplyKAddM, 0};
    }
    if (text.empty() || text.size() > 2) {
        return {};
    }
    const auto value = ParseHexText(text);
    return value ? DataBox{DataBoxKind::Value, static_cast<std::uint8_t>(*value)} : DataBox{};
}

std::uint32_t ReadIdentifierText(std::string_view text) {
    if (text.empty() || text.size() > MAX_ID_DIGITS) {
        return BridgeRule::ANY_ID;
    }
    return ParseHexText(text).value_or(BridgeRule::ANY_ID);
}

std::string DirectionText(std::uint8_t direction) {
    switch (direction) {
        case BridgeRule::DIRECTION_CAN1_TO_CAN2:
            return "CAN1->CAN2";
        case BridgeRule::DIRECTION_CAN2_TO_CAN1:
            return "CAN2->CAN1";
        default:
            return "CAN1<->CAN2";
    }
}

std::string TriggerText(std::uint8_t trigger) {
    switch (trigger) {
        case BridgeRule::TRIGGER_START:
            return "开始转发";
        case BridgeRule::TRIGGER_STOP:
            return "结束转发";
        default:
            return "普通转发";
    }
}

std::string FormulaText(std::uint8_t k, std::uint8_t m) {
    return Printf("Y=%dV+%d", k, m);
}

std::string SourceDescription(const BridgeRule& rule) {
    std::string text = "源ID";
    text += rule.srcId == BridgeRule::ANY_ID ? "任意" : Printf("=0x%x", rule.srcId);
    text += TypeText(rule.srcFlags, "，数据帧或远程帧");
    text += FormatText(rule.srcFlags, "，扩展帧或标准帧");
    std::size_t items = 0;
    text += LengthText(rule.srcLength, items);
    text += "，数据:";
    for (std::size_t i = 0; i < items; ++i) {
        const bool compared = (rule.srcDataMask & (1u << i)) != 0;
        text += compared ? Printf("%2x  ", rule.srcData[i]) : "XX  ";
    }
    return text;
}

std::string ForwardedDescription(const BridgeRule& rule) {
    std::string text = "转换后ID";
    text += rule.dstId == BridgeRule::ANY_ID ? "不变" : Printf("=0x%x", rule.dstId);
    text += TypeText(rule.dstFlags, "，数据帧或远程帧保持不变");
    text += FormatText(rule.dstFlags, "，扩展帧或标准帧保持不变");
    std::size_t items = 0;
    text += LengthText(rule.dstLength, items);
    text += "，数据:";
    for (std::size_t i = 0; i < items; ++i) {
        text += (i == 0 ? "" : ", ") + ForwardedItem(rule, i);
    }
    if (rule.yMax != 0) {
        text += Printf("  ,Y最大值：%d", rule.yMax);
    }
    return text;
}

}  // namespace quillon::pages
