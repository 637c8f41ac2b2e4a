#include "platform/system/ProcessLauncher.hpp"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace quillon::sys {
namespace {

bool IsExecutableFile(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// Starts argv[0] without waiting for it; a detached reaper collects its exit
// status so that the started program never lingers as a zombie of ours.
bool SpawnDetached(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        return false;
    }
    std::thread([pid] {
        int status = 0;
        ::waitpid(pid, &status, 0);
    }).detach();
    return true;
}

}  // namespace

bool SpawnProcessLauncher::StartProcess(const std::filesystem::path& executable) {
    if (!IsExecutableFile(executable)) {
        return false;
    }
    return SpawnDetached({executable.string()});
}

bool DesktopDocumentOpener::OpenDocument(const std::filesystem::path& document) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(document, error)) {
        return false;
    }
    return SpawnDetached({"xdg-open", document.string()});
}

}  // namespace quillon::sys
