#include "frontends/cli/QtCompanion.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "frontends/cli/ExitCode.hpp"
#include "frontends/cli/Session.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "support/Environment.hpp"

#ifdef QUILLON_LIGHT_CLI_PATH
#include "support/ChildProcess.hpp"
#endif

namespace quillon::cli {
namespace {

TEST(QtCompanionTest, CommandsThatNeedTheQtBackend) {
    struct Row {
        const char* name;
        const char* command;
        const char* adapter;
        bool needed;
    };
    const Row rows[] = {
        {"the list of every backend's interfaces", "adapters", "sim", true},
        {"a device command on the backend", "read", "qcanbus:virtualcan:can0", true},
        {"the backend without options", "dump", "qcanbus", true},
        {"a device command elsewhere", "read", "sim:type=2", false},
        {"a name that only starts alike", "read", "qcanbusx:can0", false},
        {"an option that names it", "read", "socketcan:qcanbus", false},
        {"a command on files", "simulate", "socketcan:can0", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(NeedsQtBackend(row.command, row.adapter), row.needed) << row.name;
    }
}

#ifndef _WIN32
// The adapter is resolved as the session resolves it: --adapter first, then the
// environment. When the companion cannot start, the command ends saying so.
// (The Windows build has no Qt SerialBus backend and so hands nothing over.)
TEST(QtCompanionTest, HandOverFollowsTheResolvedSpecAndSaysWhyItFailed) {
    struct Row {
        const char* name;
        const char* command;
        const char* option;       // --adapter
        const char* environment;  // KELVIX_ADAPTER
        bool handedOver;
    };
    const Row rows[] = {
        {"the option names it", "read", "qcanbus:virtualcan:can0", "sim", true},
        {"the environment names it", "write", "", "qcanbus:virtualcan:can0", true},
        {"the option wins over the environment", "read", "sim", "qcanbus:virtualcan:can0", false},
        {"a command that opens nothing of it", "convert", "", "sim", false},
    };
    const std::filesystem::path missing = "/nonexistent/quillon-cli-qt";
    for (const Row& row : rows) {
        const test::ScopedEnvironment environment("KELVIX_ADAPTER", row.environment);
        GlobalOptions global;
        global.command = row.command;
        global.adapter = row.option;
        std::ostringstream err;
        const std::optional<int> status =
            HandOverForQtBackend(global, missing, {"quillon-cli", row.command}, err);
        if (!row.handedOver) {
            EXPECT_FALSE(status) << row.name;
            EXPECT_EQ(err.str(), "") << row.name;
            continue;
        }
        EXPECT_EQ(status, EXIT_NO_ADAPTER) << row.name;
        EXPECT_EQ(err.str(), "quillon-cli " + std::string(row.command) +
                                 ": the qcanbus backend is in /nonexistent/quillon-cli-qt, which "
                                 "cannot be started: No such file or directory\n")
            << row.name;
        EXPECT_EQ(kelvix::CurrentAdapterSpec(), row.environment)
            << row.name << ": the session's own --adapter is left to it";
    }
}
#endif

#ifdef QUILLON_LIGHT_CLI_PATH
// The real program: the backend's own refusal comes back, so the command ran
// in the companion, and quillon-cli itself carries no Qt library.
TEST(QtCompanionTest, TheProgramHandsTheCommandToItsCompanion) {
    test::ChildProcess cli(QUILLON_LIGHT_CLI_PATH, {"--adapter", "qcanbus:nosuchplugin", "read"});
    ASSERT_TRUE(cli.Started()) << cli.Output();
    EXPECT_EQ(cli.WaitForExit(std::chrono::seconds(60)), EXIT_NO_ADAPTER) << cli.Output();
    EXPECT_NE(cli.Output().find("qcanbus needs a plugin and an interface"), std::string::npos)
        << cli.Output();

    test::ChildProcess ldd("/usr/bin/ldd", {QUILLON_LIGHT_CLI_PATH});
    ASSERT_TRUE(ldd.Started());
    EXPECT_EQ(ldd.WaitForExit(std::chrono::seconds(60)), 0) << ldd.Output();
    EXPECT_NE(ldd.Output().find("libc.so"), std::string::npos) << ldd.Output();
    EXPECT_EQ(ldd.Output().find("libQt6"), std::string::npos) << ldd.Output();
}
#endif

}  // namespace
}  // namespace quillon::cli
