// The image file on Windows: the C runtime's wide-path calls, in binary mode
// (text mode would turn CR LF into LF and stop at a 0x1A byte).
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/system/Utf8Path.hpp"
#include "upgrade/ImageFile.hpp"

namespace quillon::upgrade {

ImageFile::~ImageFile() {
    Close();
}

bool ImageFile::Open(const std::filesystem::path& path) {
    Close();
    path_ = path;
    descriptor_ = ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (descriptor_ < 0) {
        Fail("cannot open", errno);
        return false;
    }
    struct _stat64 info {};
    if (::_fstat64(descriptor_, &info) != 0) {
        Fail("cannot measure", errno);
        Close();
        return false;
    }
    if ((info.st_mode & _S_IFMT) != _S_IFREG) {
        Fail("not a regular file", 0);
        Close();
        return false;
    }
    lengthBytes_ = static_cast<std::uint64_t>(info.st_size);
    return true;
}

std::optional<std::size_t> ImageFile::Read(std::span<std::uint8_t> block) {
    if (descriptor_ < 0) {
        Fail("read after close", 0);
        return std::nullopt;
    }
    std::size_t filled = 0;
    while (filled < block.size()) {
        const unsigned chunk =
            static_cast<unsigned>(std::min<std::size_t>(block.size() - filled, 1u << 20));
        const int got = ::_read(descriptor_, block.data() + filled, chunk);
        if (got == 0) {
            break;
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
        ::_close(descriptor_);
        descriptor_ = -1;
    }
}

void ImageFile::Fail(const std::string& what, int error) {
    lastError_ = "firmware image " + sys::PathToUtf8(path_) + ": " + what;
    if (error != 0) {
        lastError_ += ": " + std::string(std::strerror(error));
    }
}

}  // namespace quillon::upgrade
