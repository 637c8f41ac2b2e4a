// The POSIX body of ReplaceFileBytes. Temporary names carry the saving
// process's id, "QXCfg.dat.4711.5f3a9c01.tmp", so a later save can tell a
// copy abandoned by a dead process from one another save is still writing.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <string_view>

#include "platform/system/ReplaceFile.hpp"

namespace quillon::sys {
namespace {

namespace fs = std::filesystem;

constexpr int MAX_LINK_DEPTH = 40;
constexpr int MAX_NAME_ATTEMPTS = 100;

std::string Failure(const char* what, const fs::path& where, int error) {
    return std::string(what) + " " + where.string() + ": " + std::strerror(error);
}

// The file a chain of symbolic links ends at (relative links resolved from
// the link's own directory); the path itself when it is no link.
fs::path FinalTarget(fs::path path) {
    std::error_code error;
    for (int depth = 0; depth < MAX_LINK_DEPTH && fs::is_symlink(path, error); ++depth) {
        const fs::path next = fs::read_symlink(path, error);
        if (error) {
            break;
        }
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

fs::path DirectoryOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

// "<target>.<pid>.<hex>.tmp": the pid of the saving process.
std::string TemporaryName(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    static thread_local std::mt19937 random{std::random_device{}()};
    char suffix[48];
    std::snprintf(suffix, sizeof(suffix), ".%ld.%04x%04x.tmp", static_cast<long>(::getpid()),
                  counter++ & 0xFFFFu, static_cast<unsigned>(random() & 0xFFFFu));
    return target + suffix;
}

bool ProcessAlive(long pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// The pid inside a temporary name of `target`, or 0 for the fixed "<target>.tmp"
// older versions used.
long OwnerOf(const std::string& name, const std::string& target) {
    const std::string rest = name.substr(target.size() + 1);
    return rest == "tmp" ? 0 : std::strtol(rest.c_str(), nullptr, 10);
}

void RemoveAbandoned(const fs::path& directory, const std::string& target) {
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (IsTemporaryNameOf(name, target) && !ProcessAlive(OwnerOf(name, target))) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

// A new file that did not exist before, with the target's permissions when it has any.
int CreateTemporary(const fs::path& target, fs::path& temp, std::string& error) {
    struct stat existing {};
    const bool hasMode = ::stat(target.c_str(), &existing) == 0;
    for (int attempt = 0; attempt < MAX_NAME_ATTEMPTS; ++attempt) {
        temp = DirectoryOf(target) / TemporaryName(target.filename().string());
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            if (hasMode) {
                (void)::fchmod(fd, existing.st_mode & 07777);
            }
            return fd;
        }
        if (errno != EEXIST) {
            error = Failure("cannot create a temporary copy of", target, errno);
            return -1;
        }
    }
    error = Failure("cannot create a temporary copy of", target, EEXIST);
    return -1;
}

std::string WriteAndFlush(int fd, const fs::path& temp, std::span<const std::uint8_t> bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return Failure("cannot write", temp, put < 0 ? errno : EIO);
        }
        written += static_cast<std::size_t>(put);
    }
    if (::fsync(fd) != 0) {
        return Failure("cannot flush", temp, errno);
    }
    return {};
}

std::string FlushDirectory(const fs::path& directory) {
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return Failure("cannot open directory", directory, errno);
    }
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    return result == 0 ? std::string() : Failure("cannot flush directory", directory, error);
}

}  // namespace

bool IsTemporaryNameOf(const std::string& name, const std::string& target) {
    if (name.size() <= target.size() || name.compare(0, target.size(), target) != 0 ||
        name[target.size()] != '.') {
        return false;
    }
    const std::string_view rest = std::string_view(name).substr(target.size() + 1);
    if (rest == "tmp") {
        return true;  // the fixed name older versions used
    }
    const auto dot = rest.find('.');
    const std::string_view pid = rest.substr(0, dot);
    const std::string_view tail = dot == std::string_view::npos ? "" : rest.substr(dot + 1);
    const auto all = [](std::string_view text, int (*is)(int)) {
        return std::all_of(text.begin(), text.end(),
                           [is](char c) { return is(static_cast<unsigned char>(c)) != 0; });
    };
    return !pid.empty() && all(pid, std::isdigit) && tail.size() == 12 &&
           all(tail.substr(0, 8), std::isxdigit) && tail.ends_with(".tmp");
}

std::string ReplaceFileProblem(const fs::path& file) {
    const fs::path target = FinalTarget(file);
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        return Failure("cannot replace", target, S_ISDIR(existing.st_mode) ? EISDIR : EINVAL);
    }
    fs::path temp;
    std::string error;
    const int fd = CreateTemporary(target, temp, error);
    if (fd < 0) {
        return error;
    }
    ::close(fd);
    ::unlink(temp.c_str());
    return {};
}

std::string ReplaceFileBytes(const fs::path& file, std::span<const std::uint8_t> bytes) {
    const fs::path target = FinalTarget(file);
    RemoveAbandoned(DirectoryOf(target), target.filename().string());
    fs::path temp;
    std::string error;
    const int fd = CreateTemporary(target, temp, error);
    if (fd < 0) {
        return error;
    }
    error = WriteAndFlush(fd, temp, bytes);
    if (::close(fd) != 0 && error.empty()) {
        error = Failure("cannot close", temp, errno);
    }
    if (error.empty() && ::rename(temp.c_str(), target.c_str()) != 0) {
        error = Failure("cannot replace", target, errno);
    }
    if (!error.empty()) {
        ::unlink(temp.c_str());
        return error;
    }
    return FlushDirectory(DirectoryOf(target));
}

}  // namespace quillon::sys
