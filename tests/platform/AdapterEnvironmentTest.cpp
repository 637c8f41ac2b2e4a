// The adapter library reads KELVIX_ADAPTER, KELVIX_TRACE and the user's
// configuration folder from the environment it is given, never around it.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>
#include <string>

#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/AdapterTable.hpp"
#include "platform/system/Utf8Path.hpp"
#include "support/Environment.hpp"
#include "support/FakeSystem.hpp"

namespace kelvix {
namespace {

namespace fs = std::filesystem;
using Variables = std::map<std::string, std::string>;

class AdapterEnvironmentTest : public ::testing::Test {
  protected:
    static void Use(const Variables& variables) {
        SetEnvironment([variables](const char* name) -> std::optional<std::string> {
            const auto found = variables.find(name);
            return found == variables.end() ? std::nullopt : std::optional(found->second);
        });
    }
    static void WriteLine(const fs::path& file, const std::string& line) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << line << "\n";
    }
    void TearDown() override {
        CloseAllAdapters();
        SetConfigDirectory({});
    }

    // What the test process itself holds must not leak through.
    quillon::test::ScopedEnvironment processAdapter{"KELVIX_ADAPTER", "sim:type=9"};
    quillon::test::ScopedEnvironment processTrace{"KELVIX_TRACE", "process.log"};
};

// Where the user's files live on this system, under a folder of the test's.
#ifdef _WIN32
constexpr const char* USER_CONFIG_VARIABLE = "APPDATA";
constexpr const char* USER_CONFIG_FOLDER = "Quillon";
#else
constexpr const char* USER_CONFIG_VARIABLE = "XDG_CONFIG_HOME";
constexpr const char* USER_CONFIG_FOLDER = "quillon";
#endif

TEST_F(AdapterEnvironmentTest, TheSpecComesFromTheGivenEnvironmentInItsOrder) {
    struct Row {
        const char* name;
        bool withAdapterVariable;
        const char* adapterVariable;
        bool besideConf;  ///< kelvix.conf beside the program says sim:type=3
        bool userConf;    ///< the user's kelvix.conf says sim:type=4
        const char* override;
        const char* expected;
    };
    const Row rows[] = {
        {"nothing anywhere", false, "", false, false, "", "sim"},
        {"the user's kelvix.conf", false, "", false, true, "", "sim:type=4"},
        {"kelvix.conf beside the program first", false, "", true, true, "", "sim:type=3"},
        {"KELVIX_ADAPTER before either file", true, "sim:type=2", true, true, "", "sim:type=2"},
        {"an empty KELVIX_ADAPTER counts as unset", true, "", false, true, "", "sim:type=4"},
        {"--adapter before everything", true, "sim:type=2", true, true, "sim:type=7", "sim:type=7"},
    };
    for (const Row& row : rows) {
        quillon::test::TempDir dir;
        Variables variables{
            {USER_CONFIG_VARIABLE, quillon::sys::PathToUtf8(dir.Path() / "config")}};
        if (row.withAdapterVariable) {
            variables["KELVIX_ADAPTER"] = row.adapterVariable;
        }
        Use(variables);
        fs::create_directories(dir.Path() / "program");
        SetConfigDirectory(dir.Path() / "program");
        if (row.besideConf) {
            WriteLine(dir.Path() / "program" / ADAPTER_CONF_NAME, "sim:type=3");
        }
        if (row.userConf) {
            WriteLine(dir.Path() / "config" / USER_CONFIG_FOLDER / ADAPTER_CONF_NAME, "sim:type=4");
        }
        SetAdapterSpecOverride(row.override);
        EXPECT_EQ(CurrentAdapterSpec(), row.expected) << row.name;
        SetAdapterSpecOverride({});
    }
}

TEST_F(AdapterEnvironmentTest, TheUsersConfFollowsTheGivenEnvironment) {
    struct Row {
        const char* name;
        Variables variables;
        fs::path expected;
    };
    const fs::path conf = fs::path("quillon") / ADAPTER_CONF_NAME;
    const Row rows[] = {
#ifdef _WIN32
        {"application data folder",
         {{"APPDATA", "C:\\Users\\ann\\AppData\\Roaming"}, {"XDG_CONFIG_HOME", "/cfg"}},
         fs::path("C:\\Users\\ann\\AppData\\Roaming") / "Quillon" / ADAPTER_CONF_NAME},
        {"no application data folder",
         {{"XDG_CONFIG_HOME", "/cfg"}, {"HOME", "/home/ann"}},
         fs::path()},
#else
        {"configuration folder", {{"XDG_CONFIG_HOME", "/cfg"}}, fs::path("/cfg") / conf},
        {"home only", {{"HOME", "/home/ann"}}, fs::path("/home/ann") / ".config" / conf},
        {"configuration folder first",
         {{"XDG_CONFIG_HOME", "/cfg"}, {"HOME", "/home/ann"}},
         fs::path("/cfg") / conf},
        {"an empty configuration folder counts as unset",
         {{"XDG_CONFIG_HOME", ""}, {"HOME", "/home/ann"}},
         fs::path("/home/ann") / ".config" / conf},
        {"UTF-8 folder",
         {{"XDG_CONFIG_HOME", "/配置"}},
         quillon::sys::PathFromUtf8("/配置") / conf},
#endif
        {"neither", {}, fs::path()},
    };
    for (const Row& row : rows) {
        Use(row.variables);
        EXPECT_EQ(UserAdapterConfPath(), row.expected) << row.name;
    }
}

TEST_F(AdapterEnvironmentTest, TheTraceFileComesFromTheGivenEnvironment) {
    Use({{"KELVIX_TRACE", "given.log"}});
    EXPECT_EQ(CurrentTraceFile(), "given.log");
    SetTraceFileOverride("chosen.log");
    EXPECT_EQ(CurrentTraceFile(), "chosen.log");
    SetTraceFileOverride({});
    Use({});
    EXPECT_EQ(CurrentTraceFile(), "");
    SetEnvironment({});
    EXPECT_EQ(CurrentTraceFile(), "process.log") << "an empty lookup gives the process's back";
}

}  // namespace
}  // namespace kelvix
