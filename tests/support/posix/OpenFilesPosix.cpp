#include "support/OpenFiles.hpp"

namespace quillon::test {

// Every descriptor of the process is a link in /proc/self/fd to what it opened.
bool IsOpenHere(const std::filesystem::path& path) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        if (std::filesystem::read_symlink(entry.path(), error) == path) {
            return true;
        }
    }
    return false;
}

}  // namespace quillon::test
