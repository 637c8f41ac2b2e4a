#include "configtext/ChoiceTokens.hpp"

namespace quillon::configtext {

std::optional<std::size_t> FindChoice(const ChoiceList& list, std::string_view text) {
    for (std::size_t code = 0; code < list.tokens.size(); ++code) {
        if (list.tokens[code] == text) {
            return code;
        }
    }
    for (std::size_t code = 0; code < list.pageTexts.size(); ++code) {
        if (text == list.pageTexts[code]) {
            return code;
        }
    }
    return std::nullopt;
}

std::string TokenOf(const ChoiceList& list, std::size_t code) {
    return std::string(code < list.tokens.size() ? list.tokens[code] : list.tokens[0]);
}

std::string TokenListText(const ChoiceList& list) {
    std::string text;
    for (std::string_view token : list.tokens) {
        text += (text.empty() ? "" : ", ") + std::string(token);
    }
    return text;
}

}  // namespace quillon::configtext
