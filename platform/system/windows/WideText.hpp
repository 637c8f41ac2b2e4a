// UTF-8 <-> UTF-16 for the wide Windows calls. Invalid UTF-8 becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace quillon::sys {

std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);
/// The system's text for a GetLastError() code, in UTF-8, without a line end.
std::string SystemErrorText(unsigned long code);

}  // namespace quillon::sys
