#include "upgrade/ImageFile.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quillon::upgrade {

ImageFile::~ImageFile() {
    Close();
}

bool ImageFile::Open(const std::filesystem::path& path) {
    Close();
    path_ = path;
    // Non-blocking only for the open: a FIFO without a writer must not stall
    // it; the kind check below then refuses it.
    descriptor_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor_ < 0) {
        Fail("cannot open", errno);
        return false;
    }
    struct stat info {};
    if (::fstat(descriptor_, &info) != 0) {
        Fail("cannot measure", errno);
        Close();
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        Fail("not a regular file", 0);
        Close();
        return false;
    }
    const int flags = ::fcntl(descriptor_, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor_, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        Fail("cannot read", errno);
        Close();
        return false;
    }
    lengthBytes_ = static_cast<std::uint64_t>(info.st_size);
    return true;
}

std::optional<std::size_t> ImageFile::Read(std::span<std::uint8_t> block) {
    if (!IsOpen()) {
        Fail("read after close", 0);
        return std::nullopt;
    }
    std::size_t filled = 0;
    while (filled < block.size()) {
        const ssize_t got = ::read(descriptor_, block.data() + filled, block.size() - filled);
        if (got == 0) {
            return filled;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            Fail("cannot read", errno);
            return std::nullopt;
        }
        filled += static_cast<std::size_t>(got);
    }
    return filled;
}

void ImageFile::Close() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
        descriptor_ = -1;
    }
}

void ImageFile::Fail(const std::string& what, int error) {
    lastError_ = "firmware image " + path_.string() + ": " + what;
    if (error != 0) {
        lastError_ += ": " + std::string(std::strerror(error));
    }
}

}  // namespace quillon::upgrade
