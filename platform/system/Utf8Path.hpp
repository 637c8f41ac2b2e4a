// The program keeps text in UTF-8; file names on Windows are wide strings and a
// path built from a narrow string there would go through the ANSI code page and
// lose every character that page lacks. These two conversions keep UTF-8 whole.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quillon::sys {

/// The path named by UTF-8 `text`.
inline std::filesystem::path PathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

/// `path` as UTF-8 text.
inline std::string PathToUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace quillon::sys
