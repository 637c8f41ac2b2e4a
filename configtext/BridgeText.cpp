// The bridge section as text. A rule's data bytes read as the page's rule list
// spells them: the source as a byte to match or "*" (any), a forwarded byte
// as a constant or as V, K*V, V+M or K*V+M of the source byte.
#include <algorithm>
#include <array>

#include "configtext/SectionText.hpp"
#include "pages/CBridgeRuleDialog.hpp"

namespace quillon::configtext {
namespace {

using protocol::BridgePara;
using protocol::BridgeRule;

constexpr std::uint8_t ANY_LENGTH = 9;
constexpr std::uint8_t MAX_LENGTH = 8;
constexpr std::uint32_t EXTENDED_ID_MAX = 0x1FFFFFFF;
constexpr std::string_view ANY_BYTE = "*";
// A forwarded byte derived from the source byte, by its kMask and mMask bits.
constexpr std::array<std::string_view, 4> FORMULAS = {"V", "K*V", "V+M", "K*V+M"};

Json LengthToText(std::uint8_t length) {
    return length <= MAX_LENGTH ? Json(length) : Json("any");
}

void LengthFromText(ObjectReader& text, std::string_view key, std::uint8_t& length) {
    const Json* value = text.Find(key);
    if (value == nullptr) {
        return;
    }
    if (value->is_string() && (*value == "any" || *value == "不限")) {
        length = ANY_LENGTH;
    } else if (value->is_number_integer() && value->get<std::int64_t>() >= 0 &&
               value->get<std::int64_t>() <= MAX_LENGTH) {
        length = static_cast<std::uint8_t>(value->get<std::int64_t>());
    } else {
        text.Problems().Error(text.PathOf(key),
                              value->dump() + " is not a data length (0..8, or \"any\")");
    }
}

Json IdToText(std::uint32_t id, std::string_view anyToken) {
    return id == BridgeRule::ANY_ID ? Json(anyToken) : Json(HexValue(id, 3));
}

void IdFromText(ObjectReader& text, std::string_view key, std::string_view anyToken,
                std::uint32_t& id) {
    const Json* value = text.Find(key);
    if (value == nullptr) {
        return;
    }
    if (value->is_string() && *value == anyToken) {
        id = BridgeRule::ANY_ID;
        return;
    }
    if (auto read = ReadUnsigned(*value, text.PathOf(key), UINT32_MAX, text.Problems())) {
        id = static_cast<std::uint32_t>(*read);
        if (id > EXTENDED_ID_MAX && id != BridgeRule::ANY_ID) {
            text.Problems().Warning(text.PathOf(key), HexValue(id) +
                                                          " is no CAN identifier (29 bits, or \"" +
                                                          std::string(anyToken) + "\")");
        }
    }
}

// Data byte tokens, trailing defaults left out.
std::string DataText(std::array<std::string, 8> tokens, std::string_view fallback) {
    std::size_t count = tokens.size();
    while (count > 0 && tokens[count - 1] == fallback) {
        --count;
    }
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += (i == 0 ? "" : " ") + tokens[i];
    }
    return text;
}

std::string SourceDataText(const BridgeRule& rule) {
    std::array<std::string, 8> tokens;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        tokens[i] =
            (rule.srcDataMask >> i) & 1 ? HexBytes(&rule.srcData[i], 1) : std::string(ANY_BYTE);
    }
    return DataText(tokens, ANY_BYTE);
}

std::string ForwardedDataText(const BridgeRule& rule) {
    std::array<std::string, 8> tokens;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const unsigned k = (rule.kMask >> i) & 1;
        const unsigned m = (rule.mMask >> i) & 1;
        tokens[i] = (rule.dstDataMask >> i) & 1 ? HexBytes(&rule.dstData[i], 1)
                                                : std::string(FORMULAS[k | (m << 1)]);
    }
    return DataText(tokens, FORMULAS[0]);
}

// The blank-separated tokens of a data text, at most eight.
std::optional<std::vector<std::string>> DataTokens(ObjectReader& text, std::string_view key) {
    const Json* value = text.Find(key);
    if (value == nullptr) {
        return std::nullopt;
    }
    auto string = ReadString(*value, text.PathOf(key), text.Problems());
    if (!string) {
        return std::nullopt;
    }
    std::vector<std::string> tokens;
    std::size_t at = 0;
    while ((at = string->find_first_not_of(' ', at)) != std::string::npos) {
        const std::size_t end = std::min(string->find(' ', at), string->size());
        tokens.push_back(string->substr(at, end - at));
        at = end;
    }
    if (tokens.size() > 8) {
        text.Problems().Error(text.PathOf(key),
                              std::to_string(tokens.size()) + " bytes, a frame holds 8");
        return std::nullopt;
    }
    return tokens;
}

std::optional<std::uint8_t> ByteToken(const std::string& token) {
    Json value = "0x" + token;
    TextProblems ignored;
    const auto byte = token.size() <= 2 ? ReadUnsigned(value, "", 0xFF, ignored) : std::nullopt;
    return byte ? std::optional(static_cast<std::uint8_t>(*byte)) : std::nullopt;
}

void SourceDataFromText(ObjectReader& text, BridgeRule& rule) {
    const auto tokens = DataTokens(text, "srcData");
    for (std::size_t i = 0; tokens && i < tokens->size(); ++i) {
        if ((*tokens)[i] == ANY_BYTE) {
            continue;
        }
        if (const auto byte = ByteToken((*tokens)[i])) {
            rule.srcDataMask |= static_cast<std::uint8_t>(1u << i);
            rule.srcData[i] = *byte;
        } else {
            text.Problems().Error(IndexPath(text.PathOf("srcData"), i),
                                  "\"" + (*tokens)[i] + "\" is not a byte in hexadecimal or \"*\"");
        }
    }
}

void ForwardedDataFromText(ObjectReader& text, BridgeRule& rule) {
    const auto tokens = DataTokens(text, "dstData");
    for (std::size_t i = 0; tokens && i < tokens->size(); ++i) {
        const std::string& token = (*tokens)[i];
        const auto formula = std::find(FORMULAS.begin(), FORMULAS.end(), token);
        const auto bit = static_cast<std::uint8_t>(1u << i);
        if (formula != FORMULAS.end()) {
            const auto code = formula - FORMULAS.begin();
            rule.kMask |= (code & 1) ? bit : 0;
            rule.mMask |= (code & 2) ? bit : 0;
        } else if (const auto byte = ByteToken(token)) {
            rule.dstDataMask |= bit;
            rule.dstData[i] = *byte;
        } else {
            text.Problems().Error(
                IndexPath(text.PathOf("dstData"), i),
                "\"" + token + "\" is not a byte in hexadecimal, V, K*V, V+M or K*V+M");
        }
    }
}

Json RuleToText(const BridgeRule& rule) {
    return {{"direction", TokenOf(BRIDGE_DIRECTIONS, rule.direction)},
            {"trigger", TokenOf(BRIDGE_TRIGGERS, std::min<std::uint8_t>(rule.trigger, 2))},
            {"k", HexValue(rule.k, 2)},
            {"m", HexValue(rule.m, 2)},
            {"yMax", HexValue(rule.yMax, 2)},
            {"srcType", TokenOf(MATCH_TYPES, rule.srcFlags & BridgeRule::TYPE_BITS)},
            {"srcFormat", TokenOf(MATCH_FORMATS, (rule.srcFlags & BridgeRule::FORMAT_BITS) >> 2)},
            {"srcId", IdToText(rule.srcId, "any")},
            {"srcLength", LengthToText(rule.srcLength)},
            {"srcData", SourceDataText(rule)},
            {"dstType", TokenOf(OUTPUT_TYPES, rule.dstFlags & BridgeRule::TYPE_BITS)},
            {"dstFormat", TokenOf(OUTPUT_FORMATS, (rule.dstFlags & BridgeRule::FORMAT_BITS) >> 2)},
            {"dstId", IdToText(rule.dstId, "unchanged")},
            {"dstLength", LengthToText(rule.dstLength)},
            {"dstData", ForwardedDataText(rule)}};
}

void RuleFromText(ObjectReader& text, BridgeRule& rule) {
    text.Choice("direction", rule.direction, BRIDGE_DIRECTIONS);
    text.Choice("trigger", rule.trigger, BRIDGE_TRIGGERS);
    text.Unsigned("k", rule.k, 0xFF);
    text.Unsigned("m", rule.m, 0xFF);
    text.Unsigned("yMax", rule.yMax, 0xFF);
    std::uint8_t type = 0;
    std::uint8_t format = 0;
    text.Choice("srcType", type, MATCH_TYPES);
    text.Choice("srcFormat", format, MATCH_FORMATS);
    rule.srcFlags = static_cast<std::uint8_t>(BridgeRule::FLAGS_BASE | type | (format << 2));
    IdFromText(text, "srcId", "any", rule.srcId);
    LengthFromText(text, "srcLength", rule.srcLength);
    SourceDataFromText(text, rule);
    type = 0;
    format = 0;
    text.Choice("dstType", type, OUTPUT_TYPES);
    text.Choice("dstFormat", format, OUTPUT_FORMATS);
    rule.dstFlags = static_cast<std::uint8_t>(BridgeRule::FLAGS_BASE | type | (format << 2));
    IdFromText(text, "dstId", "unchanged", rule.dstId);
    LengthFromText(text, "dstLength", rule.dstLength);
    ForwardedDataFromText(text, rule);
    text.RefuseUnknownKeys();
}

}  // namespace

Json BridgeToText(const BridgePara& bridge) {
    Json rules = Json::array();
    const std::size_t used = std::min<std::size_t>(bridge.ruleCount, bridge.rules.size());
    for (std::size_t i = 0; i < used; ++i) {
        rules.push_back(RuleToText(bridge.rules[i]));
    }
    return {{"can1ForwardAll", (bridge.bridgeFlags & BridgePara::FLAG_CAN1_FORWARD_ALL) != 0},
            {"can2ForwardAll", (bridge.bridgeFlags & BridgePara::FLAG_CAN2_FORWARD_ALL) != 0},
            {"rules", std::move(rules)}};
}

void BridgeFromText(ObjectReader& text, BridgePara& bridge) {
    std::uint8_t can1All = 0;
    std::uint8_t can2All = 0;
    text.Flag("can1ForwardAll", can1All, BridgePara::FLAG_CAN1_FORWARD_ALL);
    text.Flag("can2ForwardAll", can2All, BridgePara::FLAG_CAN2_FORWARD_ALL);
    const ListEntries rules = ReadList(text, "rules", bridge.rules.size(), "bridge rules");
    bridge.ruleCount = static_cast<std::uint8_t>(rules.entries.size());
    bridge.bridgeFlags = can1All | can2All;
    for (std::size_t i = 0; i < rules.entries.size(); ++i) {
        ObjectReader rule(*rules.entries[i].first, rules.entries[i].second, text.Problems());
        // A field a rule leaves out matches or forwards anything.
        bridge.rules[i].srcId = BridgeRule::ANY_ID;
        bridge.rules[i].dstId = BridgeRule::ANY_ID;
        bridge.rules[i].srcLength = ANY_LENGTH;
        bridge.rules[i].dstLength = ANY_LENGTH;
        if (rule.IsObject()) {
            RuleFromText(rule, bridge.rules[i]);
        }
        bridge.bridgeFlags |= pages::StartFlagsOf(bridge.rules[i]);
    }
}

}  // namespace quillon::configtext
