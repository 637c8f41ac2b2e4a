// The settings save on Windows: the bytes go to a new file beside the target,
// are flushed to disk, and MoveFileExW puts that file in the target's place in
// one step (replace-existing, write-through), so a crash at any moment leaves
// the old or the new content under the name. Wide calls throughout: the
// program's folder may have any name.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <random>
#include <system_error>

#include "platform/system/ReplaceFile.hpp"
#include "platform/system/Utf8Path.hpp"
#include "platform/system/windows/WideText.hpp"

namespace quillon::sys {
namespace {

namespace fs = std::filesystem;

constexpr int MAX_NAME_ATTEMPTS = 16;

// Windows error codes are told in the same words as on other systems
// ("No such file or directory") where there is a common meaning.
std::string Failure(const char* what, const fs::path& where, DWORD error) {
    const std::error_condition condition =
        std::system_category().default_error_condition(static_cast<int>(error));
    const std::string reason = condition.category() == std::generic_category()
                                   ? condition.message()
                                   : SystemErrorText(error);
    return std::string(what) + " " + PathToUtf8(where) + ": " + reason;
}

// MoveFileExW refuses a directory in the target's place as access denied; the
// user is told what is actually in the way, in the words other systems use.
std::string ReplaceFailure(const fs::path& file, DWORD error) {
    std::error_code ignored;
    if (error == ERROR_ACCESS_DENIED && fs::is_directory(file, ignored)) {
        return "cannot replace " + PathToUtf8(file) + ": " +
               std::make_error_code(std::errc::is_a_directory).message();
    }
    return Failure("cannot replace", file, error);
}

fs::path DirectoryOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(L".");
}

// "<target>.<pid>.<hex>.tmp": the id of the saving process.
std::string TemporaryName(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    static thread_local std::mt19937 random{std::random_device{}()};
    char suffix[48];
    std::snprintf(suffix, sizeof(suffix), ".%lu.%04x%04x.tmp",
                  static_cast<unsigned long>(::GetCurrentProcessId()), counter++ & 0xFFFFu,
                  static_cast<unsigned>(random() & 0xFFFFu));
    return target + suffix;
}

bool ProcessAlive(unsigned long id) {
    if (id == 0) {
        return false;
    }
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, id);
    if (process == nullptr) {
        return ::GetLastError() == ERROR_ACCESS_DENIED;  // exists, but not ours to open
    }
    const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return running;
}

void RemoveAbandoned(const fs::path& directory, const std::string& target) {
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = PathToUtf8(it->path().filename());
        if (!IsTemporaryNameOf(name, target)) {
            continue;
        }
        const std::string rest = name.substr(target.size() + 1);
        const unsigned long owner = rest == "tmp" ? 0 : std::strtoul(rest.c_str(), nullptr, 10);
        if (!ProcessAlive(owner)) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

HANDLE CreateTemporary(const fs::path& target, fs::path& temp, std::string& error) {
    for (int attempt = 0; attempt < MAX_NAME_ATTEMPTS; ++attempt) {
        temp = DirectoryOf(target) / PathFromUtf8(TemporaryName(PathToUtf8(target.filename())));
        HANDLE file = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            return file;
        }
        const DWORD code = ::GetLastError();
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) {
            error = Failure("cannot create a temporary copy of", target, code);
            return INVALID_HANDLE_VALUE;
        }
    }
    error = Failure("cannot create a temporary copy of", target, ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

std::string WriteAndFlush(HANDLE file, const fs::path& temp, std::span<const std::uint8_t> bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        DWORD put = 0;
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1u << 20));
        if (!::WriteFile(file, bytes.data() + written, chunk, &put, nullptr) || put == 0) {
            return Failure("cannot write", temp, ::GetLastError());
        }
        written += put;
    }
    if (!::FlushFileBuffers(file)) {
        return Failure("cannot flush", temp, ::GetLastError());
    }
    return {};
}

}  // namespace

bool IsTemporaryNameOf(const std::string& name, const std::string& target) {
    return name.size() > target.size() + 4 && name.compare(0, target.size(), target) == 0 &&
           name[target.size()] == '.' && name.ends_with(".tmp");
}

std::string ReplaceFileProblem(const fs::path& file) {
    // MoveFileExW refuses a read-only target as well as a directory.
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
        return ReplaceFailure(file, ERROR_ACCESS_DENIED);
    }
    fs::path temp;
    std::string error;
    HANDLE handle = CreateTemporary(file, temp, error);
    if (handle == INVALID_HANDLE_VALUE) {
        return error;
    }
    ::CloseHandle(handle);
    ::DeleteFileW(temp.c_str());
    return {};
}

std::string ReplaceFileBytes(const fs::path& file, std::span<const std::uint8_t> bytes) {
    RemoveAbandoned(DirectoryOf(file), PathToUtf8(file.filename()));
    fs::path temp;
    std::string error;
    HANDLE handle = CreateTemporary(file, temp, error);
    if (handle == INVALID_HANDLE_VALUE) {
        return error;
    }
    error = WriteAndFlush(handle, temp, bytes);
    if (!::CloseHandle(handle) && error.empty()) {
        error = Failure("cannot close", temp, ::GetLastError());
    }
    if (error.empty() && !::MoveFileExW(temp.c_str(), file.c_str(),
                                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = ReplaceFailure(file, ::GetLastError());
    }
    if (!error.empty()) {
        ::DeleteFileW(temp.c_str());
    }
    return error;
}

}  // namespace quillon::sys
