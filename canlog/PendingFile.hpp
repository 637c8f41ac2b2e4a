// An output file that appears under its name only once it is complete: the
// text goes to a temporary file beside it, renamed over the name by Commit().
// Destroyed uncommitted (an error, a crash of the caller's loop), it removes
// the temporary file and leaves whatever was under the name before.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace quillon::canlog {

class PendingFile {
  public:
    PendingFile() = default;
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    /// Creates the temporary file for `target`. Empty, or what failed, naming the file.
    std::string Open(const std::filesystem::path& target);
    /// Appends `text`; false when the write failed (Commit then says so).
    bool Append(std::string_view text);
    /// Closes the temporary file and renames it to the target. Empty, or what
    /// failed (the target is then as it was).
    std::string Commit();

  private:
    void Discard();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    std::ofstream stream_;
    bool open_ = false;
};

}  // namespace quillon::canlog
