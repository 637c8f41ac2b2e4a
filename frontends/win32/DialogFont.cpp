#include "frontends/win32/DialogFont.hpp"

#include "frontends/win32/SystemHeaders.hpp"

#include <cwchar>

namespace quillon::win32 {

namespace {

int CALLBACK NoteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FontExists(const char16_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, reinterpret_cast<const wchar_t*>(face), LF_FACESIZE - 1);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, &NoteFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

}  // namespace

std::u16string DialogFaceName() {
    return FontExists(WINDOWS_DIALOG_FACE) ? WINDOWS_DIALOG_FACE : FALLBACK_DIALOG_FACE;
}

}  // namespace quillon::win32
