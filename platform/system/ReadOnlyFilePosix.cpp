// The POSIX body of ReadOnlyFile.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/system/ReadOnlyFile.hpp"

namespace quillon::sys {
namespace {

FileFacts FactsOf(const struct stat& info) {
    const FileKind kind = S_ISREG(info.st_mode)   ? FileKind::Regular
                          : S_ISDIR(info.st_mode) ? FileKind::Directory
                                                  : FileKind::Other;
    return {kind, static_cast<std::uint64_t>(info.st_size)};
}

}  // namespace

int ExaminePath(const std::filesystem::path& path, FileFacts& facts) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return errno;
    }
    facts = FactsOf(info);
    return 0;
}

// Non-blocking only for the open, so a FIFO without a writer cannot stall it;
// the caller refuses it by its kind before reading.
int ReadOnlyFile::Open(const std::filesystem::path& path) {
    Close();
    descriptor_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor_ < 0) {
        return errno;
    }
    const int flags = ::fcntl(descriptor_, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor_, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int error = errno;
        Close();
        return error;
    }
    return 0;
}

int ReadOnlyFile::Examine(FileFacts& facts) const {
    struct stat info {};
    if (::fstat(descriptor_, &info) != 0) {
        return errno;
    }
    facts = FactsOf(info);
    return 0;
}

int ReadOnlyFile::ReadSome(std::span<std::uint8_t> block, std::size_t& got) {
    for (;;) {
        const ssize_t count = ::read(descriptor_, block.data(), block.size());
        if (count >= 0) {
            got = static_cast<std::size_t>(count);
            return 0;
        }
        if (errno != EINTR) {
            return errno;
        }
    }
}

void ReadOnlyFile::Close() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
        descriptor_ = -1;
    }
}

}  // namespace quillon::sys
