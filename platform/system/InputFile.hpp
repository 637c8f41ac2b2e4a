// Reading files a user names: the kind of file is checked before a byte is
// read, so a directory, a FIFO or a device (/dev/zero) is refused at once
// instead of throwing, blocking for ever or being read without end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::sys {

struct InputFileBytes {
    bool ok = false;
    std::vector<std::uint8_t> bytes;  ///< at most the limit asked for
    bool longer = false;              ///< the file goes on past the limit
    std::string error;                ///< why it failed, naming the file; empty when ok
};

/// Empty when `path` names a regular file (symbolic links followed) that can
/// be opened for reading; otherwise what is wrong with it, e.g.
/// "/tmp/x is a directory" or "cannot open /tmp/y: No such file or directory".
std::string InputFileProblem(const std::filesystem::path& path);

/// Reads at most `maxBytes` of the regular file `path`; `longer` tells whether
/// at least one more byte follows. Never blocks on a FIFO.
InputFileBytes ReadInputFile(const std::filesystem::path& path, std::size_t maxBytes);

/// Reads the regular file `path` to its end, however long, and hands `take`
/// each line in order: a line ends at LF, which is not passed on, and a last
/// line without one is passed too. The kind is checked on the file opened for
/// reading, so nothing can be swapped in between. Empty when the whole file
/// was read; otherwise why not, naming the file (the lines before a failed
/// read have been handed on). `blockBytes` is how much is read at a time.
std::string ReadInputLines(const std::filesystem::path& path,
                           const std::function<void(std::string_view line)>& take,
                           std::size_t blockBytes = 64 * 1024);

/// Empty when a file may be created or appended to at `path`: its directory
/// exists and, if the file exists, it is a regular file. Otherwise what is wrong.
std::string OutputFileProblem(const std::filesystem::path& path);

}  // namespace quillon::sys
