#include <windows.h>

#include <string>

#include "platform/system/ProgramDirectory.hpp"

namespace quillon::sys {

std::filesystem::path ExecutablePath() {
    // The path may be longer than MAX_PATH; grow until it fits.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return std::filesystem::current_path() / L"quillon.exe";
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return std::filesystem::path(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::filesystem::path ExecutableDirectory() {
    return ExecutablePath().parent_path();
}

}  // namespace quillon::sys
