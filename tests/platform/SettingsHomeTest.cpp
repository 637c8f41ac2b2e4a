// Where the user's files go: beside the program unless a package's marker says
// it was installed, then the user's configuration directory as the system
// names it; --settings-dir over both. The environment and the file system are
// tables here, so every row runs on any build machine.
#include "platform/system/SettingsHome.hpp"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "platform/system/Utf8Path.hpp"
#include "support/FakeSystem.hpp"

namespace quillon::sys {
namespace {

namespace fs = std::filesystem;

using Variables = std::map<std::string, std::string>;

EnvironmentLookup LookupIn(const Variables& variables) {
    return [variables](const char* name) -> std::optional<std::string> {
        const auto found = variables.find(name);
        return found == variables.end() ? std::nullopt : std::optional(found->second);
    };
}

FileProbe FilesIn(const std::set<fs::path>& files) {
    return [files](const fs::path& path) { return files.count(path) != 0; };
}

const fs::path PROGRAM = "/opt/quillon/bin";
const fs::path LINUX_MARKER = "/opt/quillon/share/quillon/quillon.installed";
const fs::path WINDOWS_MARKER = "/opt/quillon/bin/quillon.installed";

struct HomeRow {
    const char* name;
    HostSystem system;
    std::set<fs::path> files;
    Variables variables;
    fs::path directory;
    bool installed;
};

class SettingsHomeTest : public ::testing::TestWithParam<HomeRow> {};

TEST_P(SettingsHomeTest, FollowsTheMarkerAndTheEnvironment) {
    const auto& row = GetParam();
    const SettingsHome home =
        FindSettingsHome(PROGRAM, LookupIn(row.variables), FilesIn(row.files), row.system);
    EXPECT_EQ(home.directory, row.directory);
    EXPECT_EQ(home.installed, row.installed);
}

const Variables EVERY_VARIABLE = {
    {"XDG_CONFIG_HOME", "/cfg"}, {"HOME", "/home/ann"}, {"APPDATA", "/roaming"}};

INSTANTIATE_TEST_SUITE_P(Rows, SettingsHomeTest,
                         ::testing::Values(HomeRow{"NoMarkerKeepsThemBesideTheProgram",
                                                   HostSystem::Posix,
                                                   {},
                                                   EVERY_VARIABLE,
                                                   PROGRAM,
                                                   false},
                                           HomeRow{"LinuxPackageUsesXdgConfigHome",
                                                   HostSystem::Posix,
                                                   {LINUX_MARKER},
                                                   EVERY_VARIABLE,
                                                   "/cfg/quillon",
                                                   true},
                                           HomeRow{"LinuxPackageWithoutXdgUsesHome",
                                                   HostSystem::Posix,
                                                   {LINUX_MARKER},
                                                   {{"HOME", "/home/ann"}},
                                                   "/home/ann/.config/quillon",
                                                   true},
                                           HomeRow{"EmptyXdgCountsAsUnset",
                                                   HostSystem::Posix,
                                                   {LINUX_MARKER},
                                                   {{"XDG_CONFIG_HOME", ""}, {"HOME", "/home/ann"}},
                                                   "/home/ann/.config/quillon",
                                                   true},
                                           HomeRow{"LinuxPackageWithNoEnvironmentStaysBeside",
                                                   HostSystem::Posix,
                                                   {LINUX_MARKER},
                                                   {},
                                                   PROGRAM,
                                                   true},
                                           HomeRow{"MarkerBesideTheProgramIsNoLinuxPackage",
                                                   HostSystem::Posix,
                                                   {WINDOWS_MARKER},
                                                   EVERY_VARIABLE,
                                                   PROGRAM,
                                                   false},
                                           HomeRow{"WindowsInstallerUsesAppData",
                                                   HostSystem::Windows,
                                                   {WINDOWS_MARKER},
                                                   EVERY_VARIABLE,
                                                   "/roaming/Quillon",
                                                   true},
                                           HomeRow{"WindowsWithoutMarkerKeepsThemBeside",
                                                   HostSystem::Windows,
                                                   {},
                                                   EVERY_VARIABLE,
                                                   PROGRAM,
                                                   false},
                                           HomeRow{
                                               "WindowsIgnoresXdgAndHome",
                                               HostSystem::Windows,
                                               {WINDOWS_MARKER},
                                               {{"XDG_CONFIG_HOME", "/cfg"}, {"HOME", "/home/ann"}},
                                               PROGRAM,
                                               true},
                                           HomeRow{"LinuxMarkerIsNoWindowsInstallation",
                                                   HostSystem::Windows,
                                                   {LINUX_MARKER},
                                                   EVERY_VARIABLE,
                                                   PROGRAM,
                                                   false}),
                         [](const auto& info) { return std::string(info.param.name); });

// The first save of an installed program must find its folder; a folder the
// user named is used as it is, so a mistyped one is not made.
TEST(SettingsDirectoryInUseTest, MakesTheUsersFolderOnlyForAnInstalledProgram) {
    const test::TempDir temp;
    const fs::path config = temp.Path() / "config";
    const auto environment = LookupIn({{"XDG_CONFIG_HOME", PathToUtf8(config)}});
    const fs::path typo = temp.Path() / "typo";
    EXPECT_EQ(SettingsDirectoryInUse(typo, PROGRAM, environment, FilesIn({LINUX_MARKER}),
                                     HostSystem::Posix),
              typo);
    EXPECT_FALSE(fs::exists(typo));
    EXPECT_EQ(SettingsDirectoryInUse({}, PROGRAM, environment, FilesIn({}), HostSystem::Posix),
              PROGRAM);
    EXPECT_FALSE(fs::exists(config));
    EXPECT_EQ(SettingsDirectoryInUse({}, PROGRAM, environment, FilesIn({LINUX_MARKER}),
                                     HostSystem::Posix),
              config / "quillon");
    EXPECT_TRUE(fs::is_directory(config / "quillon"));
}

TEST(ProgramFileNameTest, AddsTheSuffixOnlyOnWindows) {
    EXPECT_EQ(ProgramFileName("Baudly", HostSystem::Posix), "Baudly");
    EXPECT_EQ(ProgramFileName("Baudly", HostSystem::Windows), "Baudly.exe");
    EXPECT_EQ(ProgramFileName("Refold", HostSystem::Windows), "Refold.exe");
}

}  // namespace
}  // namespace quillon::sys
