// The operating system's calls for reading a file a user names, behind one
// small class with a body per platform; the checks built on them (InputFile,
// upgrade::ImageFile) are written once. Failures are errno values (0 = none),
// which both platforms' C runtimes speak.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

namespace quillon::sys {

enum class FileKind { Regular, Directory, Other };

struct FileFacts {
    FileKind kind = FileKind::Other;
    std::uint64_t sizeBytes = 0;
};

/// What is at `path`, symbolic links followed: 0 with `facts` set, or the
/// errno value (ENOENT when nothing is there).
int ExaminePath(const std::filesystem::path& path, FileFacts& facts);

/// A file opened for reading raw bytes (no text-mode translation); closed with
/// the object. Not shared between threads.
class ReadOnlyFile {
  public:
    ReadOnlyFile() = default;
    ~ReadOnlyFile() { Close(); }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    /// Opens `path`, never waiting for a FIFO's writer: 0, or the errno value.
    /// A directory may open (POSIX) or fail with EISDIR (Windows).
    int Open(const std::filesystem::path& path);
    bool IsOpen() const { return descriptor_ >= 0; }
    /// What the open file is: 0 with `facts` set, or the errno value.
    int Examine(FileFacts& facts) const;
    /// Fills `block` from the current position; `filled` is less than its size
    /// only at the end of the file. 0, or the errno value of a failed read.
    int ReadFull(std::span<std::uint8_t> block, std::size_t& filled);
    /// Closes the file; harmless when it is not open.
    void Close();

  private:
    /// One read of at most `block.size()` bytes: 0 with `got` set (0 at the
    /// end), or the errno value.
    int ReadSome(std::span<std::uint8_t> block, std::size_t& got);

    int descriptor_ = -1;
};

}  // namespace quillon::sys
