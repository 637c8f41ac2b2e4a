#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <string>

#include "platform/system/ProcessLauncher.hpp"

namespace quillon::sys {

bool SpawnProcessLauncher::StartProcess(const std::filesystem::path& executable) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(executable, error)) {
        return false;
    }
    // CreateProcessW may write into the command line, so it gets its own copy.
    std::wstring commandLine = L"\"" + executable.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &startup, &process)) {
        return false;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

bool DesktopDocumentOpener::OpenDocument(const std::filesystem::path& document) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(document, error)) {
        return false;
    }
    const HINSTANCE result =
        ::ShellExecuteW(nullptr, L"open", document.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // ShellExecuteW reports success with a value above 32.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace quillon::sys
