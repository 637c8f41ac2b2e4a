#include "platform/system/ProgramDirectory.hpp"

namespace quillon::sys {

std::filesystem::path ExecutablePath() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return std::filesystem::current_path() / "quillon";
    }
    return path;
}

std::filesystem::path ExecutableDirectory() {
    return ExecutablePath().parent_path();
}

}  // namespace quillon::sys
