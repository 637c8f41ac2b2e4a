// A firmware image file read front to back in blocks, never whole.
//
// Only regular files are images: a directory, pipe or device has no length to
// measure progress by and is refused at Open.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "platform/system/ReadOnlyFile.hpp"

namespace quillon::upgrade {

class ImageFile {
  public:
    ImageFile() = default;
    ImageFile(const ImageFile&) = delete;
    ImageFile& operator=(const ImageFile&) = delete;

    /// Opens `path` for reading raw bytes and takes its length. False on failure,
    /// with LastError() saying why.
    bool Open(const std::filesystem::path& path);
    bool IsOpen() const { return file_.IsOpen(); }
    /// Length in bytes as measured when the file was opened.
    std::uint64_t Length() const { return lengthBytes_; }
    /// Fills `block` from the current position; returns the bytes read, which is
    /// less than block.size() only at the end of the file. Nothing on a read error.
    std::optional<std::size_t> Read(std::span<std::uint8_t> block);
    /// Closes the file; harmless when it is not open.
    void Close() { file_.Close(); }
    const std::string& LastError() const { return lastError_; }

  private:
    void Fail(const std::string& what, int error);

    sys::ReadOnlyFile file_;
    std::uint64_t lengthBytes_ = 0;
    std::filesystem::path path_;
    std::string lastError_;
};

}  // namespace quillon::upgrade
