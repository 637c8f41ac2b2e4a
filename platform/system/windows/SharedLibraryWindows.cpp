#include <windows.h>

#include "platform/system/SharedLibrary.hpp"
#include "platform/system/Utf8Path.hpp"
#include "platform/system/windows/WideText.hpp"

namespace quillon::sys {

std::shared_ptr<SharedLibrary> SharedLibrary::Load(const std::filesystem::path& path,
                                                   std::string& error) {
    // Wide call: the path may hold characters the ANSI code page lacks.
    HMODULE module = ::LoadLibraryW(path.c_str());
    if (module == nullptr) {
        error = "cannot load " + PathToUtf8(path) + ": " + SystemErrorText(::GetLastError());
        return nullptr;
    }
    return std::shared_ptr<SharedLibrary>(new SharedLibrary(path, module));
}

void* SharedLibrary::Symbol(const char* name) const {
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle_), name));
}

std::filesystem::path ModulePathOf(const void* address) {
    HMODULE module = nullptr;
    if (!::GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<LPCWSTR>(address), &module)) {
        return {};
    }
    std::wstring buffer(32768, L'\0');  // the longest path Windows knows
    const DWORD length =
        ::GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    buffer.resize(length);
    return std::filesystem::path(buffer);
}

}  // namespace quillon::sys
