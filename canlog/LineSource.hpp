// Lines of a log, pulled one at a time from a file or from text in memory.
// Memory stays bounded however long the log: one block and one line are held.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system/ReadOnlyFile.hpp"

namespace quillon::canlog {

/// The longest line a log may hold, without its line end.
inline constexpr std::size_t MAX_LINE_BYTES = 4096;
/// How much of a file is read at once: large, so a million-line log takes
/// a few dozen reads; lines within one block are handed out without a copy.
inline constexpr std::size_t READ_BLOCK_BYTES = 1024 * 1024;

class LineSource {
  public:
    /// Reads the regular file `path`; Error() says why when it cannot be opened.
    explicit LineSource(const std::filesystem::path& path);
    /// Reads `text`, which must outlive the source.
    explicit LineSource(std::string_view text);
    LineSource(const LineSource&) = delete;
    LineSource& operator=(const LineSource&) = delete;

    /// The next line without its LF (a CR before it stays), valid until the
    /// next call. False at the end and on a failure: Error() tells them apart.
    bool Next(std::string_view& line);
    /// Empty, or what failed: the file cannot be opened or read, or line
    /// LineNumber() is longer than MAX_LINE_BYTES.
    const std::string& Error() const { return error_; }
    /// 1 for the first line, once it has been returned.
    std::uint64_t LineNumber() const { return lineNumber_; }
    std::uint64_t BytesRead() const { return bytesRead_; }
    /// The file's size (or the text's) when known, else 0.
    std::uint64_t TotalBytes() const { return totalBytes_; }

  private:
    bool Refill();

    sys::ReadOnlyFile file_;
    std::string path_;
    std::string_view text_;  ///< what is left of in-memory text
    bool fromFile_ = false;
    bool atEnd_ = false;
    std::vector<std::uint8_t> block_;
    std::size_t blockUsed_ = 0;
    std::size_t blockFilled_ = 0;
    std::string line_;
    std::string error_;
    std::uint64_t lineNumber_ = 0;
    std::uint64_t bytesRead_ = 0;
    std::uint64_t totalBytes_ = 0;
};

}  // namespace quillon::canlog
