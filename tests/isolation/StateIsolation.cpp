// Keeps every test away from the user's state and config directories: before
// each test XDG_STATE_HOME and XDG_CONFIG_HOME (and APPDATA on Windows) point
// at empty folders of its own, so a simulated device that remembers itself
// remembers nothing from another test, no saved adapter choice leaks between
// tests, and nothing is written into the home directory. The folders live
// under the XDG_STATE_HOME CTest gives (or the system's temporary folder) and
// are removed at exit.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "support/Environment.hpp"

namespace {

namespace fs = std::filesystem;

fs::path MakeProcessFolder() {
    const char* given = std::getenv("XDG_STATE_HOME");
    const fs::path base = given && *given ? fs::path(given) : fs::temp_directory_path();
    std::error_code error;
    fs::create_directories(base, error);
    // A name nobody else holds: create_directory fails on an existing one.
    std::random_device seed;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path folder = base / ("quillon-test-" + std::to_string(seed()));
        if (fs::create_directory(folder, error)) {
            return folder;
        }
    }
    std::abort();  // a test must never fall back to the real state directory
}

const fs::path& ProcessFolder() {
    static const fs::path folder = MakeProcessFolder();
    return folder;
}

// Registered after the folder's path exists, so it runs before that path is destroyed.
void RemoveProcessFolder() {
    std::error_code error;
    fs::remove_all(ProcessFolder(), error);
}

// GoogleTest never deletes its listeners, so the folder goes at exit.
class StateIsolation final : public ::testing::EmptyTestEventListener {
  public:
    StateIsolation() : folder_(ProcessFolder()) { std::atexit(RemoveProcessFolder); }

    void OnTestStart(const ::testing::TestInfo&) override {
        Fresh("state", "XDG_STATE_HOME");
        Fresh("config", "XDG_CONFIG_HOME");
#ifdef _WIN32
        // Where the user's files live on Windows.
        Fresh("appdata", "APPDATA");
#endif
    }

  private:
    void Fresh(const char* name, const char* variable) const {
        std::error_code error;
        fs::remove_all(folder_ / name, error);
        fs::create_directories(folder_ / name, error);
        quillon::test::SetEnvironment(variable, (folder_ / name).string());
    }

    fs::path folder_;
};

// Registered before main runs; the listener list owns it.
const bool registered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new StateIsolation);
    return true;
}();

}  // namespace
