#include "platform/system/InputFile.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quillon::sys {
namespace {

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int Get() const { return fd_; }

  private:
    int fd_;
};

std::string SystemError(const std::string& what, const std::filesystem::path& path, int error) {
    return what + " " + path.string() + ": " + std::strerror(error);
}

// Why a file of this mode cannot be read as a settings file, trace or image.
std::string KindProblem(const std::filesystem::path& path, mode_t mode) {
    if (S_ISREG(mode)) {
        return {};
    }
    return path.string() + (S_ISDIR(mode) ? " is a directory" : " is not a regular file");
}

// Opening with O_NONBLOCK keeps a FIFO without a writer from stalling the open;
// the kind is then checked on the descriptor itself, so nothing can swap it.
std::string OpenRegular(const std::filesystem::path& path, int& fd) {
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return SystemError("cannot open", path, errno);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return SystemError("cannot examine", path, errno);
    }
    if (std::string problem = KindProblem(path, info.st_mode); !problem.empty()) {
        return problem;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        return SystemError("cannot read", path, errno);
    }
    return {};
}

// Reads until `limit` bytes or the end; false with errno set on a read error.
bool ReadUpTo(int fd, std::vector<std::uint8_t>& bytes, std::size_t limit) {
    bytes.resize(limit);
    std::size_t filled = 0;
    while (filled < limit) {
        const ssize_t got = ::read(fd, bytes.data() + filled, limit - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
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
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        return KindProblem(path, info.st_mode);
    }
    if (errno != ENOENT) {
        return SystemError("cannot examine", path, errno);
    }
    const std::filesystem::path parent =
        path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    if (::stat(parent.c_str(), &info) != 0) {
        return SystemError("cannot create " + path.string() + " in", parent, errno);
    }
    if (!S_ISDIR(info.st_mode)) {
        return "cannot create " + path.string() + ": " + parent.string() + " is not a directory";
    }
    return {};
}

}  // namespace quillon::sys
