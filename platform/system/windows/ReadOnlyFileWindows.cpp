// The Windows body of ReadOnlyFile: the C runtime's wide-path calls in binary
// mode (text mode would turn CR LF into LF and stop at a 0x1A byte).
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "platform/system/ReadOnlyFile.hpp"

namespace quillon::sys {
namespace {

// The runtime's reads take an unsigned count; larger blocks go in pieces.
constexpr std::size_t MAX_READ_BYTES = 1u << 20;

FileFacts FactsOf(const struct _stat64& info) {
    const unsigned type = info.st_mode & _S_IFMT;
    const FileKind kind = type == _S_IFREG   ? FileKind::Regular
                          : type == _S_IFDIR ? FileKind::Directory
                                             : FileKind::Other;
    return {kind, static_cast<std::uint64_t>(info.st_size)};
}

}  // namespace

int ExaminePath(const std::filesystem::path& path, FileFacts& facts) {
    struct _stat64 info {};
    if (::_wstat64(path.c_str(), &info) != 0) {
        return errno;
    }
    facts = FactsOf(info);
    return 0;
}

// The runtime cannot open a directory, so one is recognised by name first.
int ReadOnlyFile::Open(const std::filesystem::path& path) {
    Close();
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        return EISDIR;
    }
    descriptor_ = ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    return descriptor_ < 0 ? errno : 0;
}

int ReadOnlyFile::Examine(FileFacts& facts) const {
    struct _stat64 info {};
    if (::_fstat64(descriptor_, &info) != 0) {
        return errno;
    }
    facts = FactsOf(info);
    return 0;
}

int ReadOnlyFile::ReadSome(std::span<std::uint8_t> block, std::size_t& got) {
    const auto chunk = static_cast<unsigned>(std::min(block.size(), MAX_READ_BYTES));
    const int count = ::_read(descriptor_, block.data(), chunk);
    if (count < 0) {
        return errno;
    }
    got = static_cast<std::size_t>(count);
    return 0;
}

void ReadOnlyFile::Close() {
    if (descriptor_ >= 0) {
        ::_close(descriptor_);
        descriptor_ = -1;
    }
}

}  // namespace quillon::sys
