#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include "platform/system/CommandLine.hpp"
#include "platform/system/windows/WideText.hpp"

namespace quillon::sys {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) {
        return std::vector<std::string>(argv, argv + argc);
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(Utf8FromWide(wide[i]));
    }
    ::LocalFree(wide);
    return arguments;
}

}  // namespace quillon::sys
