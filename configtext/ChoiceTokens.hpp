// The choices of the pages' lists as the configuration text names them: one
// short token per choice, beside the page's own text (either is read back).
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "pages/PageTexts.hpp"

namespace quillon::configtext {

struct ChoiceList {
    std::string_view what;                     ///< "a bit rate", for the error text
    std::span<const std::string_view> tokens;  ///< by code in the record
    std::span<const char* const> pageTexts;    ///< the page's own, by code; may be empty
};

inline constexpr std::array<std::string_view, 8> BIT_RATE_TOKENS = {
    "1000k", "500k", "250k", "125k", "100k", "50k", "20k", "custom"};
inline constexpr std::array<std::string_view, 2> WORK_MODE_TOKENS = {"normal", "listen-only"};
inline constexpr std::array<std::string_view, 2> FRAME_TYPE_TOKENS = {"data", "remote"};
inline constexpr std::array<std::string_view, 2> FRAME_FORMAT_TOKENS = {"standard", "extended"};
inline constexpr std::array<std::string_view, 3> TRIGGER_TOKENS = {"start", "stop", "normal"};
inline constexpr std::array<std::string_view, 3> DIRECTION_TOKENS = {"can1-to-can2", "can2-to-can1",
                                                                     "both"};
inline constexpr std::array<std::string_view, 3> SEND_MODE_TOKENS = {"by-channel", "can1", "can2"};
// A bridge rule's frame type and format bits: 0 is any (source) or unchanged (forwarded).
inline constexpr std::array<std::string_view, 3> MATCH_TYPE_TOKENS = {"any", "remote", "data"};
inline constexpr std::array<std::string_view, 3> OUTPUT_TYPE_TOKENS = {"unchanged", "remote",
                                                                       "data"};
inline constexpr std::array<std::string_view, 3> MATCH_FORMAT_TOKENS = {"any", "extended",
                                                                        "standard"};
inline constexpr std::array<std::string_view, 3> OUTPUT_FORMAT_TOKENS = {"unchanged", "extended",
                                                                         "standard"};

static_assert(BIT_RATE_TOKENS.size() == pages::BAUD_RATE_NAMES.size());
static_assert(WORK_MODE_TOKENS.size() == pages::WORK_MODE_NAMES.size());
static_assert(FRAME_TYPE_TOKENS.size() == pages::FRAME_TYPE_NAMES.size());
static_assert(FRAME_FORMAT_TOKENS.size() == pages::FRAME_FORMAT_NAMES.size());
static_assert(TRIGGER_TOKENS.size() == pages::TRIGGER_NAMES.size());
static_assert(DIRECTION_TOKENS.size() == pages::BRIDGE_DIRECTION_NAMES.size());
static_assert(TRIGGER_TOKENS.size() == pages::BRIDGE_TRIGGER_NAMES.size());
static_assert(SEND_MODE_TOKENS.size() == pages::REPLAY_SEND_MODE_NAMES.size());

inline constexpr ChoiceList BIT_RATES{"a bit rate", BIT_RATE_TOKENS, pages::BAUD_RATE_NAMES};
inline constexpr ChoiceList WORK_MODES{"a work mode", WORK_MODE_TOKENS, pages::WORK_MODE_NAMES};
inline constexpr ChoiceList FRAME_TYPES{"a frame type", FRAME_TYPE_TOKENS, pages::FRAME_TYPE_NAMES};
inline constexpr ChoiceList FRAME_FORMATS{"a frame format", FRAME_FORMAT_TOKENS,
                                          pages::FRAME_FORMAT_NAMES};
inline constexpr ChoiceList RECORDING_TRIGGERS{"a trigger", TRIGGER_TOKENS, pages::TRIGGER_NAMES};
inline constexpr ChoiceList BRIDGE_DIRECTIONS{"a bridge direction", DIRECTION_TOKENS,
                                              pages::BRIDGE_DIRECTION_NAMES};
inline constexpr ChoiceList BRIDGE_TRIGGERS{"a trigger", TRIGGER_TOKENS,
                                            pages::BRIDGE_TRIGGER_NAMES};
inline constexpr ChoiceList SEND_MODES{"a send mode", SEND_MODE_TOKENS,
                                       pages::REPLAY_SEND_MODE_NAMES};
inline constexpr ChoiceList MATCH_TYPES{"a frame type", MATCH_TYPE_TOKENS, {}};
inline constexpr ChoiceList OUTPUT_TYPES{"a frame type", OUTPUT_TYPE_TOKENS, {}};
inline constexpr ChoiceList MATCH_FORMATS{"a frame format", MATCH_FORMAT_TOKENS, {}};
inline constexpr ChoiceList OUTPUT_FORMATS{"a frame format", OUTPUT_FORMAT_TOKENS, {}};

/// The code of `text`, a token or a page text of `list`.
std::optional<std::size_t> FindChoice(const ChoiceList& list, std::string_view text);
/// The token of `code`; the first token for a code the list lacks (the caller
/// keeps such a byte by other means).
std::string TokenOf(const ChoiceList& list, std::size_t code);
/// "1000k, 500k, ..., custom", for the error text.
std::string TokenListText(const ChoiceList& list);

}  // namespace quillon::configtext
