// The model's UTF-8 text as the window system's UTF-16, and back.
#pragma once

#include <string>
#include <string_view>

namespace quillon::win32 {

std::u16string Utf16FromUtf8(std::string_view utf8);
/// For the wide calls: the same text as wchar_t (16 bits on this platform).
std::wstring WideText(std::string_view utf8);
std::string Utf8Text(std::wstring_view wide);

}  // namespace quillon::win32
