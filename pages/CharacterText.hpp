// The pages count and store text by characters (code points), while the model
// holds UTF-8: these helpers give the characters of a UTF-8 text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::pages {

/// Code points of a UTF-8 text; a malformed byte counts as U+FFFD.
std::u32string CodePoints(std::string_view utf8);
/// Number of characters of a UTF-8 text.
std::size_t CharacterCount(std::string_view utf8);
/// Text of bytes each taken as one character U+0000..U+00FF, as UTF-8.
std::string Latin1ToUtf8(std::string_view bytes);

}  // namespace quillon::pages
