#include "frontends/win32/Utf16.hpp"

#include "platform/system/windows/WideText.hpp"

namespace quillon::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide text is UTF-16 here");

std::u16string Utf16FromUtf8(std::string_view utf8) {
    const std::wstring wide = sys::WideFromUtf8(utf8);
    return {wide.begin(), wide.end()};
}

std::wstring WideText(std::string_view utf8) {
    return sys::WideFromUtf8(utf8);
}

std::string Utf8Text(std::wstring_view wide) {
    return sys::Utf8FromWide(wide);
}

}  // namespace quillon::win32
