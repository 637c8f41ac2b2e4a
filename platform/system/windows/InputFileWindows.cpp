// Input files on Windows: the C runtime's wide-path calls in binary mode. The
// runtime cannot open a directory, so a directory is recognised by name first.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/system/InputFile.hpp"
#include "platform/system/Utf8Path.hpp"

namespace quillon::sys {
namespace {

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) {
            ::_close(fd_);
        }
    }

  private:
    int fd_;
};

std::string SystemError(const std::string& what, const std::filesystem::path& path, int error) {
    return what + " " + PathToUtf8(path) + ": " + std::strerror(error);
}

std::string KindProblem(const std::filesystem::path& path, unsigned mode) {
    if ((mode & _S_IFMT) == _S_IFREG) {
        return {};
    }
    return PathToUtf8(path) +
           ((mode & _S_IFMT) == _S_IFDIR ? " is a directory" : " is not a regular file");
}

std::string OpenRegular(const std::filesystem::path& path, int& fd) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return PathToUtf8(path) + " is a directory";
    }
    fd = ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (fd < 0) {
        return SystemError("cannot open", path, errno);
    }
    struct _stat64 info {};
    if (::_fstat64(fd, &info) != 0) {
        return SystemError("cannot examine", path, errno);
    }
    return KindProblem(path, info.st_mode);
}

bool ReadUpTo(int fd, std::vector<std::uint8_t>& bytes, std::size_t limit) {
    bytes.resize(limit);
    std::size_t filled = 0;
    while (filled < limit) {
        const auto chunk = static_cast<unsigned>(std::min<std::size_t>(limit - filled, 1u << 20));
        const int got = ::_read(fd, bytes.data() + filled, chunk);
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    return true;
}

}  // namespace

std::string InputFileProblem(const std::filesystem::path& path) {
    int fd = -1;
    std::string problem = OpenRegular(path, fd);
    const Descriptor closer(fd);
    return problem;
}

InputFileBytes ReadInputFile(const std::filesystem::path& path, std::size_t maxBytes) {
    InputFileBytes result;
    int fd = -1;
    result.error = OpenRegular(path, fd);
    const Descriptor closer(fd);
    if (!result.error.empty()) {
        return result;
    }
    // One byte past the limit tells a longer file from one of exactly that size.
    if (!ReadUpTo(fd, result.bytes, maxBytes + 1)) {
        result.error = SystemError("cannot read", path, errno);
        result.bytes.clear();
        return result;
    }
    result.longer = result.bytes.size() > maxBytes;
    result.bytes.resize(std::min(result.bytes.size(), maxBytes));
    result.ok = true;
    return result;
}

std::string OutputFileProblem(const std::filesystem::path& path) {
    struct _stat64 info {};
    if (::_wstat64(path.c_str(), &info) == 0) {
        return KindProblem(path, info.st_mode);
    }
    if (errno != ENOENT) {
        return SystemError("cannot examine", path, errno);
    }
    const std::filesystem::path parent =
        path.has_parent_path() ? path.parent_path() : std::filesystem::path(L".");
    if (::_wstat64(parent.c_str(), &info) != 0) {
        return SystemError("cannot create " + PathToUtf8(path) + " in", parent, errno);
    }
    if ((info.st_mode & _S_IFMT) != _S_IFDIR) {
        return "cannot create " + PathToUtf8(path) + ": " + PathToUtf8(parent) +
               " is not a directory";
    }
    return {};
}

}  // namespace quillon::sys
