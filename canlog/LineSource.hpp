// Lines of a log, pulled one at a time from a file or from text in memory.
// Memory stays bounded however long the log: one block and one line are held.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "canlog/LineEnds.hpp"
#include "platform/system/ReadOnlyFile.hpp"

namespace quillon::canlog {

/// The longest line a log may hold, without its line end.
inline constexpr std::size_t MAX_LINE_BYTES = 4096;
/// How much of a file is read at once: large, so a million-line log takes
/// a few dozen reads; lines within one block are handed out without a copy.
inline constexpr std::size_t READ_BLOCK_BYTES = 1024 * 1024;
/// How much of a block or text has its line ends found at once: small enough
/// that their offsets stay in the cache.
inline constexpr std::size_t SCAN_BYTES = 16 * 1024;

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
    bool Next(std::string_view& line) {
        // Inline for the usual case, a line whose end was found ahead of time:
        // asked once for every line of a log.
        if (nextEnd_ < endCount_) {
            const std::size_t end = stretchStart_ + ends_[nextEnd_];
            const std::size_t length = end - used_;
            if (length <= MAX_LINE_BYTES) {
                ++nextEnd_;
                line = std::string_view(window_ + used_, length);
                used_ = end + 1;
                bytesRead_ += length + 1;
                ++lineNumber_;
                return true;
            }
        }
        return NextSlowly(line);
    }
    /// Empty, or what failed: the file cannot be opened or read, or line
    /// LineNumber() is longer than MAX_LINE_BYTES.
    const std::string& Error() const { return error_; }
    /// 1 for the first line, once it has been returned.
    std::uint64_t LineNumber() const { return lineNumber_; }
    std::uint64_t BytesRead() const { return bytesRead_; }
    /// The file's size (or the text's) when known, else 0.
    std::uint64_t TotalBytes() const { return totalBytes_; }

  private:
    bool NextSlowly(std::string_view& line);
    /// Finds the line ends of the next stretch of the window.
    void ScanAhead();
    /// The rest of the window, which holds no LF, and what follows it in the
    /// next blocks up to an LF: the last line of the text, or one that
    /// straddles blocks of the file.
    bool NextAcrossBlocks(std::string_view& line);
    bool Refill();
    /// Ends the lines with `error` for line LineNumber() + 1; returns false.
    bool FailOnNextLine(std::string error);

    sys::ReadOnlyFile file_;
    std::string path_;
    bool fromFile_ = false;
    bool atEnd_ = false;
    std::vector<std::uint8_t> block_;
    const char* window_ = nullptr;  ///< the block read last, or all of the text
    std::size_t windowSize_ = 0;
    std::size_t used_ = 0;             ///< bytes of the window handed out
    std::size_t scanned_ = 0;          ///< bytes of the window whose line ends were found
    std::vector<std::uint32_t> ends_;  ///< LF offsets in the stretch scanned last
    std::size_t stretchStart_ = 0;     ///< where that stretch starts in the window
    std::size_t endCount_ = 0;
    std::size_t nextEnd_ = 0;
    std::string line_;  ///< a line gathered across blocks
    std::string error_;
    std::uint64_t lineNumber_ = 0;
    std::uint64_t bytesRead_ = 0;
    std::uint64_t totalBytes_ = 0;
};

}  // namespace quillon::canlog
