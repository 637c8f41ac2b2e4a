// Reading the bridge page's boxes and describing a rule in its list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/BridgeRule.hpp"

namespace quillon::pages {

/// What a data box asks for.
enum class DataBoxKind : std::uint8_t {
    Unset = 0,  ///< empty, unreadable: not compared / copy of V
    MultiplyK = 1,
    AddM = 2,
    MultiplyKAddM = 3,
    Value = 4,  ///< one or two hexadecimal digits
};

struct DataBox {
    DataBoxKind kind = DataBoxKind::Unset;
    std::uint8_t value = 0;  ///< meaningful for DataBoxKind::Value
};

/// Reads a data box: "K", "M", "KM", one or two hexadecimal digits, or anything else.
DataBox ReadDataBox(std::string_view text);

/// Reads an identifier box: 1..8 hexadecimal digits; anything else gives BridgeRule::ANY_ID.
std::uint32_t ReadIdentifierText(std::string_view text);

/// Column texts of a rule.
std::string DirectionText(std::uint8_t direction);
std::string TriggerText(std::uint8_t trigger);
std::string FormulaText(std::uint8_t k, std::uint8_t m);
std::string SourceDescription(const protocol::BridgeRule& rule);
std::string ForwardedDescription(const protocol::BridgeRule& rule);

}  // namespace quillon::pages
