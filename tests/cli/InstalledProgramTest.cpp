// quillon-cli installed by a package: the settings files go to the user's
// configuration directory (made on the first save), never into the
// program's own folder; without the package's marker they stay beside the
// program. Each test's XDG_CONFIG_HOME is an empty folder of its own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "frontends/cli/ExitCode.hpp"
#include "protocol/SettingsFile.hpp"
#include "support/FakeSystem.hpp"
#include "tests/cli/InProcessCli.hpp"

namespace quillon::cli {
namespace {

namespace fs = std::filesystem;

class InstalledProgramTest : public ::testing::Test {
  protected:
    InstalledProgramTest() {
        fs::create_directories(program);
        system.services.programDirectory = program;
    }
    void Install() {
        fs::create_directories(root / "share" / "quillon");
        std::ofstream(root / "share" / "quillon" / "quillon.installed");
    }
    test::CliResult Run(std::vector<std::string> args) {
        return test::RunCliInProcess(std::move(args), system.services);
    }

    test::FakeSystem system;
    const fs::path root = system.directory.Path() / "usr";
    const fs::path program = root / "bin";
    const fs::path userFolder = fs::path(std::getenv("XDG_CONFIG_HOME")) / "quillon";
};

TEST_F(InstalledProgramTest, SavesInTheUsersFolderAndSaysSo) {
    Install();
    const auto help = Run({"--help"});
    EXPECT_NE(help.out.find("default, in use now: " + userFolder.string()), std::string::npos)
        << help.out;
    const auto write = Run({"--adapter", "sim:state=none", "write", "--defaults"});
    ASSERT_EQ(write.status, EXIT_OK) << write.err;
    EXPECT_EQ(protocol::SettingsFileProblem(userFolder / protocol::SETTINGS_FILE_NAME), "");
    EXPECT_FALSE(fs::exists(program / protocol::SETTINGS_FILE_NAME));
}

TEST_F(InstalledProgramTest, WithoutTheMarkerTheFilesStayBesideTheProgram) {
    const auto help = Run({"--help"});
    EXPECT_NE(help.out.find("default, in use now: " + program.string()), std::string::npos)
        << help.out;
    const auto write = Run({"--adapter", "sim:state=none", "write", "--defaults"});
    ASSERT_EQ(write.status, EXIT_OK) << write.err;
    EXPECT_EQ(protocol::SettingsFileProblem(program / protocol::SETTINGS_FILE_NAME), "");
    EXPECT_FALSE(fs::exists(userFolder));
}

}  // namespace
}  // namespace quillon::cli
