#include <windows.h>

#include "support/OpenFiles.hpp"

namespace quillon::test {

// An open that shares nothing fails with a sharing violation while any other
// handle on the file is open.
bool IsOpenHere(const std::filesystem::path& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return ::GetLastError() == ERROR_SHARING_VIOLATION;
    }
    ::CloseHandle(file);
    return false;
}

}  // namespace quillon::test
