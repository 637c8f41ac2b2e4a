#include <cstdlib>

#include "platform/system/Environment.hpp"
#include "platform/system/windows/WideText.hpp"

namespace quillon::sys {

std::optional<std::string> ProcessEnvironment(const char* name) {
    // The narrow variables are in the ANSI code page; the wide ones convert to UTF-8.
    const wchar_t* value = ::_wgetenv(WideFromUtf8(name).c_str());
    return value != nullptr ? std::optional<std::string>(Utf8FromWide(value)) : std::nullopt;
}

}  // namespace quillon::sys
