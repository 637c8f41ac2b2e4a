// A state file that is a FIFO: POSIX's, so this case is built on POSIX only.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "sim/DeviceState.hpp"
#include "support/FakeSystem.hpp"

namespace quillon::sim {
namespace {

TEST(DeviceStateTest, LoadingRefusesAFifo) {
    test::TempDir dir;
    const std::filesystem::path fifo = dir.Path() / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const DeviceOwner owner{2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}};
    EXPECT_NE(LoadDeviceState(fifo, owner).warning.find("not a regular file"), std::string::npos)
        << "a FIFO is refused before it is opened (opening it would block)";
}

}  // namespace
}  // namespace quillon::sim
