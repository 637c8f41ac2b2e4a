// Code-page conversions with the system's own tables. Conversion goes one
// character at a time so that every character the page lacks, and every byte
// sequence that is not a character, is replaced alone (the whole-string calls
// replace surrogate pairs twice and treat invalid bytes differently from one
// Windows version to the next).
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "platform/system/CodePage.hpp"
#include "platform/system/Utf8Sequence.hpp"
#include "platform/system/windows/WideText.hpp"

namespace quillon::sys {
namespace {

constexpr std::string_view REPLACEMENT_UTF8 = "\xEF\xBF\xBD";

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// "GBK", "CP936", "WINDOWS-1252", "UTF-8", "ANSI" (the system's ANSI page) and
// "OEM" (the system's OEM page). Throws for names it does not know.
UINT CodePageNumber(const std::string& charset) {
    const std::string name = Upper(charset);
    if (name == "GBK" || name == "GB2312" || name == "CP936") {
        return 936;
    }
    if (name == "UTF-8" || name == "UTF8") {
        return CP_UTF8;
    }
    if (name == "ANSI") {
        return CP_ACP;
    }
    if (name == "OEM") {
        return CP_OEMCP;
    }
    for (const std::string_view prefix : {"CP", "WINDOWS-"}) {
        const std::string digits = name.substr(std::min(name.size(), prefix.size()));
        if (name.starts_with(prefix) && !digits.empty() &&
            std::all_of(digits.begin(), digits.end(), ::isdigit) && digits.size() < 6 &&
            ::IsValidCodePage(static_cast<UINT>(std::stoul(digits)))) {
            return static_cast<UINT>(std::stoul(digits));
        }
    }
    throw std::invalid_argument("unknown character set conversion UTF-8 -> " + charset);
}

// One character's UTF-16 units in code page `page`; "?" when it has none.
std::string EncodeOne(UINT page, std::wstring_view units) {
    char bytes[8];
    BOOL usedDefault = FALSE;
    const bool exact = page != CP_UTF8;
    const int length =
        ::WideCharToMultiByte(page, 0, units.data(), static_cast<int>(units.size()), bytes,
                              sizeof(bytes), exact ? "?" : nullptr, exact ? &usedDefault : nullptr);
    if (length <= 0 || usedDefault) {
        return "?";
    }
    return std::string(bytes, static_cast<std::size_t>(length));
}

}  // namespace

CodePage::CodePage(std::string charset) : charset_(std::move(charset)) {}

std::string CodePage::FromUtf8(std::string_view utf8) const {
    const UINT page = CodePageNumber(charset_);
    std::string output;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length =
            std::min(Utf8SequenceLength(static_cast<unsigned char>(utf8[at])), utf8.size() - at);
        const std::string_view character = utf8.substr(at, length);
        wchar_t units[2];
        const int count = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, character.data(),
                                                static_cast<int>(length), units, 2);
        output += count > 0 ? EncodeOne(page, std::wstring_view(units, count)) : "?";
        at += length;
    }
    return output;
}

std::string CodePage::ToUtf8(std::string_view bytes) const {
    const UINT page = CodePageNumber(charset_);
    std::string output;
    for (std::size_t at = 0; at < bytes.size();) {
        const bool lead = ::IsDBCSLeadByteEx(page, static_cast<BYTE>(bytes[at])) != 0;
        const std::size_t length = lead && at + 1 < bytes.size() ? 2 : 1;
        wchar_t units[2];
        const int count = ::MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data() + at,
                                                static_cast<int>(length), units, 2);
        if (count > 0) {
            output += Utf8FromWide(std::wstring_view(units, count));
            at += length;
        } else {
            output += REPLACEMENT_UTF8;
            at += 1;
        }
    }
    return output;
}

}  // namespace quillon::sys
