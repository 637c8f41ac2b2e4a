// A file kept open at its path (in the fuzz window's directory in memory), so
// a harness replaces its content with two system calls per input instead of
// opening, streaming and closing it; the code under test still opens it by
// path and checks its kind. A save that replaces the file by renaming leaves
// the kept descriptor on the old one: Reopen then takes the new file.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <utility>

namespace quillon::fuzz {

class KeptFile {
  public:
    explicit KeptFile(std::filesystem::path path) : path_(std::move(path)) { Reopen(); }
    ~KeptFile() { ::close(fd_); }
    KeptFile(const KeptFile&) = delete;
    KeptFile& operator=(const KeptFile&) = delete;

    /// Replaces the content with `bytes`.
    void Set(std::span<const std::uint8_t> bytes) {
        if (::ftruncate(fd_, 0) != 0 ||
            ::pwrite(fd_, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) {
            std::abort();
        }
    }
    void Reopen() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) {
            std::abort();
        }
    }
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
    int fd_ = -1;
};

}  // namespace quillon::fuzz
