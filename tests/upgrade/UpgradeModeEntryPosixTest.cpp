// The upgrade mode entry starting a real process, on Linux: the new copy is a
// shell script.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include <gtest/gtest.h>

#include "UpgradeModeEntryFixture.hpp"
#include "upgrade/UpgradeModeEntry.hpp"

namespace quillon::test {
namespace {

using namespace quillon::upgrade;

class UpgradeModeEntryProcessTest : public UpgradeModeEntryTest {};

// One real start: the new copy is a script that reports its argument count
// through a pipe, which the test waits on without sleeping.
TEST_F(UpgradeModeEntryProcessTest, StartsTheExecutableForRealWithoutArguments) {
    const auto fifo = system.directory.Path() / "started";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const auto script = system.directory.Path() / "quillon-copy";
    std::ofstream(script) << "#!/bin/sh\necho \"$#\" > '" << fifo.string() << "'\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    sys::SpawnProcessLauncher launcher;
    sys::SystemServices services{system.clock,
                                 system.sleeper,
                                 launcher,
                                 system.launcher,
                                 system.directory.Path(),
                                 script,
                                 {}};
    Connect();

    EnterUpgradeMode(window, window.link, services);

    pollfd ready{reader, POLLIN, 0};
    ASSERT_EQ(::poll(&ready, 1, 10000), 1) << "the new copy never ran";
    char text[8] = {};
    EXPECT_GT(::read(reader, text, sizeof(text) - 1), 0);
    EXPECT_EQ(std::string(text), "0\n");
    EXPECT_TRUE(host.Boxes().empty());
    EXPECT_TRUE(window.IsEnded());
    ::close(reader);
}

}  // namespace
}  // namespace quillon::test
